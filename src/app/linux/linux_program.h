#pragma once

#include "app/linux/input_edge.h"
#include "app/linux/termination_signals.h"
#include "app/linux/wake_ups/linux_wake_ups.h"
#include "app/session.h"
#include "app/single_instance.h"
#include "platform/sdl/sdl_joystick.h"
#include "settings/location.h"
#include "window/exit_status.h"
#include "window/qt/form1.h"

#include <QApplication>

#include <functional>
#include <memory>

namespace kivo {

class LinuxProgram;

// What LinuxProgram::open() gives: the program, or the exit status of a start that ends there.
struct OpenedProgram {
    std::unique_ptr<LinuxProgram> program;
    int exitStatus = kExitSuccess;
};

// How the program learns that the joystick changed: when empty, watchJoystickNode(); the
// end-to-end host announces the changes of its virtual joystick itself.
using JoystickWatcher =
    std::function<std::unique_ptr<JoystickWatch>(const SdlJoystick& joystick, std::function<void()> changed)>;

// Kivo on Linux: the input edge (X11, or Wayland with a uinput keyboard), the SDL joystick and
// the Qt window, opened in the order start-up needs them. The end-to-end host runs exactly this, with a virtual
// joystick attached between open() and showWindow().
class LinuxProgram {
public:
    // Says on standard error why, and gives no program, when there is neither a Wayland session
    // with a uinput keyboard nor an X display to run on, or another Kivo already runs with the same settings file. That
    // Kivo's window coming to the front is what the user wanted, so that start succeeds.
    static OpenedProgram open(int& argc, char** argv, JoystickWatcher watchJoystick = {});
    ~LinuxProgram();

    // Builds Form1 (start-up runs here: button count, layout, rest position, captions) and shows it.
    void showWindow();
    // The native handle of Form1 (its X window id on X11), the one the engine compares with the
    // foreground window.
    WindowHandle windowId() const;
    // The window built by showWindow().
    Form1& form() { return session_->form(); }
    int run();

private:
    // Brings the window to the front with a launcher's token, and answers once it is active or
    // has not become so in time; an empty answer is not waited for.
    void comeToFront(const std::string& activationToken, SingleInstance::Answer answer);

    LinuxProgram(SettingsLocation settings, std::unique_ptr<SingleInstance> instance, std::unique_ptr<InputEdge> edge,
                 JoystickWatcher watchJoystick, int& argc, char** argv);

    SettingsLocation settings_;
    std::unique_ptr<SingleInstance> instance_;
    std::unique_ptr<InputEdge> edge_;
    std::unique_ptr<SdlJoystick> joystick_;
    JoystickWatcher watchJoystick_;
    QApplication application_;
    std::unique_ptr<LinuxWakeUps> wakeUps_;
    std::unique_ptr<Session<Form1>> session_;
    std::unique_ptr<TerminationSignals> signals_;
    std::unique_ptr<QAbstractNativeEventFilter> windowHooks_;
};

}  // namespace kivo
