#pragma once

#include "engine/selected_button.h"
#include "platform/input_services.h"
#include "window/win32/form1.h"
#include "window/window_logic.h"

#include <memory>

namespace kivo {

// Kivo on Windows: the Win32 input services, a joystick and the Win32 window. The end-to-end
// host runs exactly this with a scripted joystick in place of winmm's.
class Win32Program {
public:
    explicit Win32Program(std::unique_ptr<Joystick> joystick);
    ~Win32Program();
    Win32Program(const Win32Program&) = delete;
    Win32Program& operator=(const Win32Program&) = delete;

    // Builds Form1 (start-up runs here: button count, layout, rest position, captions) and shows it.
    void showWindow();
    Form1& form() { return *form_; }
    // Runs until the window ends; the exit status says whether the captions were saved.
    int run();

private:
    std::unique_ptr<Joystick> joystick_;
    std::unique_ptr<Keyboard> keyboard_;
    std::unique_ptr<ForegroundWindow> foreground_;
    std::unique_ptr<KeySender> sender_;
    SelectedButton selected_;
    std::unique_ptr<Form1> form_;
    std::unique_ptr<WindowLogic> logic_;
};

}  // namespace kivo
