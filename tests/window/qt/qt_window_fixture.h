#pragma once

#include "app/linux/termination_signals.h"
#include "support/temp_settings.h"
#include "support/waits.h"
#include "window/qt/close_requests.h"
#include "window/qt/form1.h"
#include "window/window_logic.h"

#include "fakes/fake_input_services.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace kivo::test_support {

// What a question box looked like when the test answered it.
struct SeenQuestion {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
    Qt::WindowModality modality = Qt::NonModal;
};

// Answers the next modal message box as soon as it is open.
inline void answerNextQuestion(QMessageBox::StandardButton answer, SeenQuestion& seen)
{
    auto* poll = new QTimer(qApp);
    poll->setInterval(5);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, answer, &seen] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        seen = {box->windowTitle(),
                box->text(),
                box->icon(),
                box->standardButtons(),
                box->standardButton(box->defaultButton()),
                box->windowModality()};
        box->button(answer)->click();
        poll->deleteLater();
    });
    poll->start();
}

// Runs the event loop until the window ends the process (or the wait gives up, giving -1).
inline int runUntilEnded(const std::function<void()>& action)
{
    QTimer::singleShot(0, qApp, action);
    QTimer timeout;
    timeout.setSingleShot(true);
    QObject::connect(&timeout, &QTimer::timeout, [] { QCoreApplication::exit(-1); });
    timeout.start(test_support::kWaitDeadlineMs);
    return QApplication::exec();
}

class QtWindowTest : public ::testing::Test {
protected:
    void start(std::uint32_t buttons)
    {
        fakes.joystick.buttonCount = buttons;
        window.reset();  // one window at a time watches the signals
        window = std::make_unique<Window>(fakes.services(), selected, settings.location());
    }

    // Form1 put together as the program does it.
    struct Window {
        Window(InputServices services, SelectedButton& selected, const SettingsLocation& location)
            : logic(form, services, selected, location), terminationSignals([this] { form.close(); })
        {
            closeOnSessionEnd(form);
            logic.load();
        }
        void show() { form.show(); }

        Form1 form;
        WindowLogic logic;
        TerminationSignals terminationSignals;
    };

    Form1& form() { return window->form; }
    template <typename Widget>
    Widget* control(const char* name)
    {
        auto* widget = form().findChild<Widget*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }

    TempSettings settings;
    fakes::FakeInputServices fakes;
    SelectedButton selected;
    std::unique_ptr<Window> window;
};

}  // namespace kivo::test_support
