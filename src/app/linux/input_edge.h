#pragma once

#include "app/linux/wake_ups/linux_wake_ups.h"
#include "platform/input_services.h"
#include "window/qt/form1.h"
#include "window/window_logic.h"

#include <QAbstractNativeEventFilter>

#include <memory>
#include <string>

namespace kivo {

// How Kivo learns the keyboard and the window in front and types keys: over X11, or on Wayland
// through a uinput keyboard. Chosen once at start-up, before the Qt application is made.
class InputEdge {
public:
    virtual ~InputEdge() = default;
    virtual Keyboard& keyboard() = 0;
    virtual ForegroundWindow& foreground() = 0;
    virtual KeySender& sender() = 0;
    virtual std::unique_ptr<LinuxWakeUps> makeWakeUps() = 0;
    // Ties the edge to Kivo's window once it is built; what it gives (may be null) is to go
    // before the window does.
    virtual std::unique_ptr<QAbstractNativeEventFilter> attachWindow(Form1& form, WindowLogic& logic) = 0;
    // Raises the window and asks the desktop to make it active, with the token a launcher gave
    // for that (empty when none).
    virtual void activate(QWidget& window, const std::string& activationToken) = 0;
};

// Over the X display that DISPLAY names; says on standard error why when there is none.
std::unique_ptr<InputEdge> openX11Edge();
// Over the compositor's keymap and a new uinput keyboard; says on standard error why when
// either cannot be had.
std::unique_ptr<InputEdge> openWaylandEdge();

}  // namespace kivo
