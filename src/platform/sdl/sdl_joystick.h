#pragma once

#include "platform/input_services.h"

#include <memory>

namespace kivo {

// The first joystick SDL reports serves as device id 0. Starting SDL's joystick subsystem
// cannot be refused by the program, so when it fails the backend says so on standard error
// and behaves as if no joystick were attached.
std::unique_ptr<Joystick> makeSdlJoystick();

}  // namespace kivo
