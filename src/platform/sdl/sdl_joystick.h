#pragma once

#include "platform/input_services.h"
#include "platform/joystick_choice.h"

#include <memory>
#include <string>

namespace kivo {

// Where the events of the open joystick come from, so that they can be watched.
struct JoystickNode {
    bool open = false;
    // Its device node (an evdev or hidraw node); empty when it has none, as SDL's virtual joystick.
    std::string path;
};

// The chosen joystick, or the first SDL reports that is not left out, serves as device id 0.
class SdlJoystick : public Joystick {
public:
    // The joystick the last read found open.
    virtual JoystickNode node() const = 0;
};

// Starting SDL's joystick subsystem cannot be refused by the program, so when it fails the
// backend says so on standard error and behaves as if no joystick were attached.
std::unique_ptr<SdlJoystick> makeSdlJoystick(JoystickChoice choice = {});

// One line for each device SDL offers as a joystick (number, name, buttons, device node), the one
// Kivo would use marked with why, those left out with why; or a line saying that
// there is none.
std::string listSdlJoysticks(const JoystickChoice& choice = {});

}  // namespace kivo
