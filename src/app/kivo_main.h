#pragma once

#include "app/command_line.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace kivo {

// The platform's own start-up with the joystick chosen: builds the window and runs until it ends;
// gives the exit status.
using PlatformStart = std::function<int(int& argc, char** argv, const JoystickChoice& joystick)>;
// The joysticks the platform can read, one line each, and which one Kivo uses.
using JoystickListing = std::function<std::string(const JoystickChoice& joystick)>;

// What every platform's program does first: answers --help, --version and --list, refuses or
// ignores any other argument, and otherwise hands over to the platform's start-up. The help ends
// with what platformNote gives, when there is one: how this platform would type keys.
int runKivo(int argc, char** argv, OtherArguments others, JoystickOption joystickOption, const PlatformStart& start,
            const JoystickListing& listJoysticks, const std::function<std::string()>& platformNote = {});

// One Kivo per settings file on every platform, as two would overwrite each other's
// assignments: a second start asks the running Kivo to bring its window to the front, says so in
// these words, whether the window got there (the desktop may refuse, or only mark it as wanting
// attention), and succeeds.
void reportAlreadyRunning(const std::filesystem::path& settingsFile, bool cameToFront);
// The same when the running Kivo did not answer in time; processId when the platform tells it.
void reportAlreadyRunningUnanswered(const std::filesystem::path& settingsFile, std::optional<long> processId);

}  // namespace kivo
