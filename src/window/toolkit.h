#pragma once

#include "engine/button_labels.h"
#include "platform/input_services.h"
#include "window/design.h"

#include <filesystem>
#include <string_view>
#include <vector>

namespace kivo {

// Who closed the window: the user (the close box, Alt+F4), or the system with nobody there
// to answer (the end of the desktop session, a signal).
enum class ClosedBy { User, System };

// The window's events, delivered by the toolkit one at a time on the window's thread.
class WindowEvents {
public:
    virtual ~WindowEvents() = default;
    virtual void activated() = 0;
    virtual void timerTicked() = 0;
    virtual void quitClicked() = 0;
    virtual void clearClicked() = 0;
    // The user switched the held-keys control on or off.
    virtual void holdKeysSwitched(bool /*on*/) {}
    // The window is closed other than by Quit; it cannot be cancelled.
    virtual void closed(ClosedBy closer) = 0;
    // One of the watched files may have changed; a call for nothing is harmless.
    virtual void watchedFileChanged() = 0;
};

// What the window logic needs from a window toolkit. Each toolkit implements it
// once; tests implement it in memory. Geometry is in twips.
class Toolkit : public ButtonLabels {
public:
    // Creates label element i as an invisible copy of element 0. Elements are created in order:
    // only the one after the last may be; asking for any other does nothing.
    virtual void createLabel(int index) = 0;
    virtual void setLabelVisible(int index, bool visible) = 0;
    virtual bool labelVisible(int index) const = 0;
    virtual TwipsRect labelRect(int index) const = 0;
    virtual void setLabelRect(int index, TwipsRect rect) = 0;

    // The outer size, frame and title bar included. A width below the toolkit's minimum is
    // raised to it.
    virtual float outerWidth() const = 0;
    virtual float outerHeight() const = 0;
    virtual void setOuterWidth(float width) = 0;

    // Where clicks, ticks, activation and closing go from now on; nullptr delivers nothing.
    virtual void setEvents(WindowEvents* events) = 0;
    // A modal question with Yes (the default) and No; true unless the answer is No.
    virtual bool askYesNo(std::string_view question) = 0;
    // A modal message box with a warning and OK, for a problem the user must hear of now.
    virtual void showProblem(std::string_view message) = 0;
    // Whether one of this program's own windows has the keyboard: the main window, a question or
    // a message box.
    virtual bool ownWindowActive() const = 0;
    // The title bar's text, as UTF-8 like every text but a caption.
    virtual void setTitle(std::string_view title) = 0;
    // Tells the user through the desktop's own notifications, which wait for no answer and take
    // no focus from the window in front, replacing what was told before; a desktop without such
    // a service shows nothing. withdrawNotification() takes it back where it still shows.
    virtual void notify(std::string_view summary, std::string_view body) = 0;
    virtual void withdrawNotification() = 0;
    // Shows whether keys are held down as a keyboard holds them, in the control that switches it.
    virtual void showHoldKeys(bool on) = 0;
    // Gives the input focus to the invisible Command3, so no visible button holds it.
    virtual void focusCommand3() = 0;
    // Tells watchedFileChanged() when one of files may have been written, replaced, created or
    // removed, for as long as the window lives.
    virtual void watchFiles(const std::vector<std::filesystem::path>& files) = 0;
    // Starts or stops Timer1, which ticks every millisecond on the window's thread.
    virtual void setTimerEnabled(bool enabled) = 0;
    // Stops the timer, hides the window and leaves the event loop with exitCode; the program
    // ends once the loop has returned.
    virtual void leaveEventLoop(int exitCode) = 0;
    // The platform's handle of the window, the one compared with the foreground window.
    virtual WindowHandle nativeHandle() const = 0;
};

}  // namespace kivo
