#pragma once

#include "app/edge.h"
#include "platform/input_services.h"
#include "window/window_logic.h"

#include <QAbstractNativeEventFilter>

namespace kivo {

// Saves the captions when Kivo's window goes away without being closed: when the X display
// ends or the connection to it breaks (Qt and Xlib then end the process at once, so this runs
// as it exits), and when another program destroys the window. One at a time.
class WindowLoss final : public QAbstractNativeEventFilter, public WindowHook {
public:
    WindowLoss(WindowLogic& logic, WindowHandle window);
    ~WindowLoss() override;
    WindowLoss(const WindowLoss&) = delete;
    WindowLoss& operator=(const WindowLoss&) = delete;

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    static void displayLost();

    WindowLogic& logic_;
    WindowHandle window_;
};

}  // namespace kivo
