#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kivo {

// The joystick the user asked for (kivo --joystick): its number in kivo --list, or a part of its
// name in any case. Neither: the first joystick.
struct JoystickChoice {
    int number = 0;
    std::string namePart;
};

// nullopt for a text that names no joystick: empty, or a number below 1.
std::optional<JoystickChoice> readJoystickChoice(std::string_view text);

// Why a device the system offers as a joystick is not one: the motion sensors or the touchpad of
// a pad, each its own device, or a device without a joystick button (some keyboards and mice).
enum class LeftOut { No, MotionSensors, Touchpad, NoJoystickButtons };

struct FoundJoystick {
    std::string name;
    int buttons = 0;
    // Its device node; empty when it has none.
    std::string path;
    LeftOut leftOut = LeftOut::No;
};

// Where in `found` the joystick to use is: the chosen one, or the first; never one left out.
std::optional<std::size_t> chooseJoystick(const std::vector<FoundJoystick>& found, const JoystickChoice& choice);

// What kivo --list prints: every device found, the joysticks numbered as --joystick takes them,
// which one Kivo uses and why, and why each device left out is.
std::string joystickList(const std::vector<FoundJoystick>& found, const JoystickChoice& choice);

// Whether the user chose a joystick rather than the first.
bool chosen(const JoystickChoice& choice);
// The choice as the option that makes it: --joystick 2, --joystick pad.
std::string describeChoice(const JoystickChoice& choice);

}  // namespace kivo
