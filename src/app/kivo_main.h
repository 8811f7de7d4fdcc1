#pragma once

#include "app/command_line.h"

#include <functional>
#include <string>

namespace kivo {

// The platform's own start-up with the joystick and the mode chosen: builds the window and runs until it ends;
// gives the exit status.
using PlatformStart = std::function<int(int& argc, char** argv, const StartRequest& request)>;
// The joysticks the platform can read, one line each, and which one Kivo uses.
using JoystickListing = std::function<std::string(const JoystickChoice& joystick)>;

// What every platform's program does first: answers --help, --version and --list, refuses or
// ignores any other argument, and otherwise hands over to the platform's start-up. The help ends
// with what platformNote gives, when there is one: how this platform would type keys.
int runKivo(int argc, char** argv, OtherArguments others, JoystickOption joystickOption, const PlatformStart& start,
            const JoystickListing& listJoysticks, const std::function<std::string()>& platformNote = {});

}  // namespace kivo
