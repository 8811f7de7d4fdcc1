#pragma once

#include "app/session.h"
#include "app/win32/win32_wake_ups.h"
#include "platform/input_services.h"
#include "platform/win32/win32_backends.h"
#include "window/win32/form1.h"

#include <memory>

namespace kivo {

// Kivo on Windows: the Win32 input services, a joystick and the Win32 window. The end-to-end
// host runs exactly this with a scripted joystick in place of winmm's.
class Win32Program {
public:
    explicit Win32Program(std::unique_ptr<Joystick> joystick);
    Win32Program(const Win32Program&) = delete;
    Win32Program& operator=(const Win32Program&) = delete;

    // Builds Form1 (start-up runs here: button count, layout, rest position, captions) and shows it.
    void showWindow();
    Form1& form() { return session_->form(); }
    // What wakes the window built by showWindow() while its ticks sleep.
    Win32WakeUps& wakeUps() { return *wakeUps_; }
    // Runs until the window ends; the exit status says whether the captions were saved.
    int run();

private:
    std::unique_ptr<Joystick> joystick_;
    std::unique_ptr<Win32Keyboard> keyboard_;
    std::unique_ptr<RawInput> rawInput_;
    std::unique_ptr<ForegroundWindow> foreground_;
    std::unique_ptr<KeySender> sender_;
    // Declared before the session, whose logic sleeps on them, so that they outlive it.
    std::unique_ptr<Win32WakeUps> wakeUps_;
    std::unique_ptr<Session<Form1>> session_;
};

}  // namespace kivo
