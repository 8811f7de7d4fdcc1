#include "window/qt/form1.h"
#include "window/toolkit_contract.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

namespace kivo::test_support {
namespace {

struct QtHarness {
    static constexpr bool kTicks = true;
    Form1 form;

    Toolkit& toolkit() { return form; }
    bool shownBold(int index) const
    {
        const auto* label = form.findChild<QLabel*>(QStringLiteral("Label(%1)").arg(index));
        return label != nullptr && label->font().bold();
    }
    std::vector<std::string> tabOrder() const
    {
        std::vector<std::string> order;
        QWidget* const first = form.findChild<QWidget*>(QStringLiteral("Command1"));
        QWidget* widget = first;
        do {
            if (widget->focusPolicy() & Qt::TabFocus)
                order.push_back(widget->objectName().toStdString());
            widget = widget->nextInFocusChain();
        } while (widget != first);
        return order;
    }
    std::string title() const { return form.windowTitle().toStdString(); }
    void show() { form.show(); }
    // Answers No a tenth of a second after the question opens, so ticks have had their time.
    void answerNextQuestionNoLater()
    {
        auto* poll = new QTimer(qApp);
        poll->setInterval(20);
        QObject::connect(poll, &QTimer::timeout, poll, [poll] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                poll->stop();
                QTimer::singleShot(100, box, [box] { box->button(QMessageBox::No)->click(); });
                poll->deleteLater();
            }
        });
        poll->start();
    }
};

INSTANTIATE_TYPED_TEST_SUITE_P(Qt, ToolkitContract, QtHarness);

}  // namespace
}  // namespace kivo::test_support
