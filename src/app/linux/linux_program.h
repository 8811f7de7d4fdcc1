#pragma once

#include "app/linux/input_edge.h"
#include "app/linux/termination_signals.h"
#include "app/session.h"
#include "app/single_instance.h"
#include "settings/location.h"
#include "window/exit_status.h"
#include "window/qt/form1.h"

#include <QApplication>

#include <memory>

namespace kivo {

class LinuxProgram;

// What LinuxProgram::open() gives: the program, or the exit status of a start that ends there.
struct OpenedProgram {
    std::unique_ptr<LinuxProgram> program;
    int exitStatus = kExitSuccess;
};

// Kivo on Linux: the input edge (X11, or Wayland with a uinput keyboard) and the Qt window,
// opened in the order start-up needs them. The end-to-end host runs exactly this, with a virtual
// joystick attached between open() and showWindow().
class LinuxProgram {
public:
    // Says on standard error why, and gives no program, when there is neither a Wayland session
    // with a uinput keyboard nor an X display to run on.
    static OpenedProgram open(int& argc, char** argv, SingleInstance& instance, JoystickWatcher watchJoystick = {});
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
    LinuxProgram(SettingsLocation settings, SingleInstance& instance, std::unique_ptr<Edge<Form1>> edge, int& argc,
                 char** argv);

    SettingsLocation settings_;
    SingleInstance& instance_;
    // Made after the edge is opened, which chooses its platform, and gone after the edge, whose
    // wake-ups it runs.
    QApplication application_;
    std::unique_ptr<Edge<Form1>> edge_;
    std::unique_ptr<Session<Form1>> session_;
    std::unique_ptr<TerminationSignals> signals_;
};

}  // namespace kivo
