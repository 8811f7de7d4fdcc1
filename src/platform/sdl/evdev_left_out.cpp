#include "platform/sdl/evdev_left_out.h"

#include <fcntl.h>
#include <libevdev/libevdev.h>
#include <linux/input.h>
#include <unistd.h>

namespace kivo {
namespace {

// The buttons a joystick or a pad has: the kernel's joystick and gamepad ranges, their extra
// buttons, and the numbered buttons of devices the kernel cannot name otherwise.
bool hasJoystickButton(const libevdev* device)
{
    const auto anyIn = [device](unsigned first, unsigned last) {
        for (unsigned code = first; code <= last; ++code) {
            if (libevdev_has_event_code(device, EV_KEY, code))
                return true;
        }
        return false;
    };
    return anyIn(BTN_MISC, BTN_9) || anyIn(BTN_JOYSTICK, BTN_THUMBR) || anyIn(BTN_TRIGGER_HAPPY, BTN_TRIGGER_HAPPY40);
}

}  // namespace

LeftOut evdevLeftOut(const libevdev* device)
{
    if (libevdev_has_property(device, INPUT_PROP_ACCELEROMETER))
        return LeftOut::MotionSensors;
    if (libevdev_has_property(device, INPUT_PROP_POINTER) || libevdev_has_event_code(device, EV_KEY, BTN_TOOL_FINGER))
        return LeftOut::Touchpad;
    if (!hasJoystickButton(device))
        return LeftOut::NoJoystickButtons;
    return LeftOut::No;
}

LeftOut evdevLeftOut(const std::string& path)
{
    if (!path.starts_with("/dev/input/event"))
        return LeftOut::No;
    const int descriptor = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0)
        return LeftOut::No;
    libevdev* device = nullptr;
    LeftOut leftOut = LeftOut::No;
    if (libevdev_new_from_fd(descriptor, &device) == 0) {
        leftOut = evdevLeftOut(device);
        libevdev_free(device);
    }
    close(descriptor);
    return leftOut;
}

}  // namespace kivo
