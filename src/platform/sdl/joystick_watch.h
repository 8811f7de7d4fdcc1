#pragma once

#include "platform/sdl/device_watch.h"
#include "platform/sdl/sdl_joystick.h"

#include <filesystem>
#include <memory>

namespace kivo {

// Says, through the descriptors it hands up, that the joystick may have changed: moved, pressed,
// plugged in or pulled out. Only the first change after armForNextChange() is announced: while
// the ticks run, the joystick's events need not wake the event loop as well.
class JoystickWatch : public DescriptorWatch {
public:
    // Arms the watch (opening the device node when needed); true when the next change of the
    // joystick will be announced.
    virtual bool armForNextChange() = 0;
};

// Reads the events of SDL's open joystick a second time, from its own open of the device node,
// and watches the folder of input devices for joysticks arriving while none is open. A joystick
// without a node cannot be watched.
std::unique_ptr<JoystickWatch> watchJoystickNode(const SdlJoystick& joystick,
                                                 std::filesystem::path inputDevices = "/dev/input");

// Takes every change from a non-blocking descriptor that is written to whenever the joystick
// changes, such as a test's virtual joystick; takes ownership of it.
std::unique_ptr<JoystickWatch> watchJoystickActivity(int descriptor);

}  // namespace kivo
