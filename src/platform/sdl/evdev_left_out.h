#pragma once

#include "platform/joystick_choice.h"

#include <string>

struct libevdev;

namespace kivo {

// Whether, and why, the evdev node at `path` is no joystick, from what it reports; a path that is
// no evdev node (SDL's hidraw devices, or none) is taken as a joystick.
LeftOut evdevLeftOut(const std::string& path);
// The same, from the codes and properties an evdev device reports.
LeftOut evdevLeftOut(const libevdev* device);

}  // namespace kivo
