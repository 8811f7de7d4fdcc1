#pragma once

#include "app/linux/wake_ups/linux_wake_ups.h"
#include "app/linux/single_instance.h"
#include "app/linux/termination_signals.h"
#include "app/linux/window_loss.h"
#include "engine/selected_button.h"
#include "platform/input_services.h"
#include "platform/sdl/sdl_joystick.h"
#include "platform/x11/x11_services.h"
#include "settings/location.h"
#include "window/qt/close_requests.h"
#include "window/qt/form1.h"
#include "window/window_logic.h"

#include <QApplication>

#include <memory>

namespace kivo {

class LinuxProgram;

// What LinuxProgram::open() gives: the program, or the exit status of a start that ends there.
struct OpenedProgram {
    std::unique_ptr<LinuxProgram> program;
    int exitStatus = 0;
};

// Kivo on Linux: the X11 services, the SDL joystick and the Qt window, opened in the order
// start-up needs them. The end-to-end host runs exactly this, with a virtual joystick attached
// between open() and showWindow().
class LinuxProgram {
public:
    // Says on standard error why, and gives no program, when there is no X display to run on or
    // another Kivo already runs with the same settings file. That Kivo's window coming to the
    // front is what the user wanted, so that start succeeds.
    static OpenedProgram open(int& argc, char** argv);
    ~LinuxProgram();

    // Joystick changes are announced by this non-blocking descriptor, written to on every change,
    // instead of by the joystick's device node; takes ownership. Called before showWindow().
    void announceJoystickChangesBy(int descriptor) { joystickActivity_ = descriptor; }
    // Builds Form1 (start-up runs here: button count, layout, rest position, captions) and shows it.
    void showWindow();
    // The X window id of Form1, the one the engine compares with the foreground window.
    WindowHandle windowId() const;
    // The window built by showWindow().
    Form1& form() { return *form_; }
    int run();

private:
    void bringToFront();

    LinuxProgram(SettingsLocation settings, std::unique_ptr<SingleInstance> instance, std::unique_ptr<X11Services> x11,
                 int& argc, char** argv);

    SettingsLocation settings_;
    std::unique_ptr<SingleInstance> instance_;
    std::unique_ptr<X11Services> x11_;
    std::unique_ptr<SdlJoystick> joystick_;
    QApplication application_;
    SelectedButton selected_;
    int joystickActivity_ = -1;
    std::unique_ptr<LinuxWakeUps> wakeUps_;
    std::unique_ptr<Form1> form_;
    std::unique_ptr<WindowLogic> logic_;
    std::unique_ptr<TerminationSignals> signals_;
    std::unique_ptr<WindowLoss> windowLoss_;
};

}  // namespace kivo
