#pragma once

#include "platform/joystick_choice.h"

#include <string>

struct libevdev;

namespace kivo {

// What the evdev node at `path` is beside a joystick, from what it reports; a path that is no
// evdev node (SDL's hidraw devices, or none) is taken as a joystick.
Companion evdevCompanion(const std::string& path);
// The same, from the codes and properties an evdev device reports.
Companion evdevCompanion(const libevdev* device);

}  // namespace kivo
