#pragma once

#include "app/command_line.h"
#include "app/linux/linux_edge.h"
#include "app/single_instance.h"
#include "window/qt/form1.h"

#include <functional>

namespace kivo {

// What the end-to-end host adds to Kivo on Linux: how the joystick is watched, what it does once
// SDL is open and before start-up reads the joystick (attach a virtual one), and once the window
// is shown.
struct LinuxHostHooks {
    JoystickWatcher watchJoystick;
    std::function<void()> joystickOpened;
    std::function<void(Form1& form)> windowShown;
};

// Kivo on Linux as kivo runs it: the input edge (X11, or Wayland with a uinput keyboard), the SDL
// joystick and the Qt window, opened in the order start-up needs them, and the event loop until
// the window ends, with the joystick chosen; gives the exit status. Fails, saying why on standard error, when there is
// neither a Wayland session with a uinput keyboard nor an X display to run on. The end-to-end
// host runs exactly this.
int runLinuxKivo(int& argc, char** argv, SingleInstance& instance, const StartRequest& request,
                 const LinuxHostHooks& hooks = {});

}  // namespace kivo
