#pragma once

#include "platform/window_input_observer.h"
#include "window/label_toolkit.h"
#include "window/qt/desktop_notification.h"
#include "window/qt/file_watch.h"

#include <QLabel>
#include <QTimer>
#include <QWidget>

class QCheckBox;
class QPushButton;

namespace kivo {

// Who hears Kivo's window, and in which order its activation reaches them: the input observer
// that says whether the window is in front, where the platform needs one, before the window
// logic, whose tick on activation asks that.
struct FormListeners {
    WindowInputObserver* input = nullptr;
    WindowEvents* logic = nullptr;

    void activeChanged(bool active) const
    {
        if (input)
            input->activeChanged(active);
        if (active && logic)
            logic->activated();
    }
};

// Kivo's one window and its controls, drawn with Qt Widgets. A plain top-level widget rather
// than a QDialog, so that Escape typed into it cannot hide it past the close path.
class Form1 final : public QWidget, public LabelToolkit<QLabel*> {
public:
    Form1();

    void setEvents(WindowEvents* events) override { listeners_.logic = events; }
    bool askYesNo(std::string_view question) override;
    void showProblem(std::string_view message) override;
    bool ownWindowActive() const override;
    void setTitle(std::string_view title) override;
    void notify(std::string_view summary, std::string_view body) override;
    void withdrawNotification() override { notification_.withdraw(); }
    void showHoldKeys(bool on) override;
    void focusCommand3() override;
    void setTimerEnabled(bool enabled) override;
    void watchFiles(const std::vector<std::filesystem::path>& files) override;
    void leaveEventLoop(int exitCode) override;
    WindowHandle nativeHandle() const override;
    // From now on the observer hears the window's key events and activation changes.
    void observeInput(WindowInputObserver* observer);

    // Closes the window for the system (the session's end, a signal), with nobody there to
    // answer a message box; every other close is the user's.
    void closeForSystem();

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    QLabel* makeLabel(int index) override;
    void showLabelText(QLabel* label, std::string_view caption) override;
    void showLabelWeight(QLabel* label, bool bold) override;
    void placeLabel(QLabel* label, TwipsRect rect) override { place(label, rect); }
    void showLabel(QLabel* label, bool visible) override { label->setVisible(visible); }
    bool labelShown(QLabel* label) const override { return !label->isHidden(); }
    void applyClientSize() override;

    void buildControls();
    QLabel* addFixedLabel(const char* name, const char* caption, TwipsRect rect);
    void addInstructions();
    void addHoldKeysSwitch();
    QPushButton* addButton(const char* name, const char* caption, TwipsRect rect);
    void place(QWidget* widget, TwipsRect rect) const;
    int toPixelsX(float twips) const;
    int toPixelsY(float twips) const;

    QPushButton* command1_ = nullptr;
    QPushButton* command3_ = nullptr;
    QPushButton* command4_ = nullptr;
    QCheckBox* check1_ = nullptr;
    QTimer timer1_;
    FileWatch fileWatch_{[this] {
        if (listeners_.logic)
            listeners_.logic->watchedFileChanged();
    }};
    double dpiX_ = 96;
    double dpiY_ = 96;
    FormListeners listeners_;
    bool closingForSystem_ = false;
    DesktopNotification notification_;
};

}  // namespace kivo
