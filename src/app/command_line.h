#pragma once

#include "platform/joystick_choice.h"

#include <filesystem>
#include <optional>
#include <string>

namespace kivo {

enum class StartAction { Run, ShowHelp, ShowVersion, ListJoysticks, Refuse };

struct StartRequest {
    StartAction action = StartAction::Run;
    std::string refusal;
    // The joystick --joystick chose; neither number nor name when there was none.
    JoystickChoice joystick;
    // --hold-keys or --no-hold-keys: keys held down as a keyboard holds them, or not, for this
    // run whatever kivo.ini says; nothing when neither was given.
    std::optional<bool> holdKeys;
};

// What a program does with arguments other than its options: a terminal program refuses them,
// while a Windows program gets them from Explorer (a file dropped on it, a shortcut) and starts.
enum class OtherArguments { Refuse, Ignore };

// Whether --joystick chooses the joystick: on Windows the control panel's preferred device
// (Game Controllers) is the first joystick, and the way to choose.
enum class JoystickOption { Offered, ControlPanel };

// Kivo takes no options but --help, --version, --list, --hold-keys or --no-hold-keys and, where
// offered, --joystick NAME|N (alone or with --list).
StartRequest readCommandLine(int argc, const char* const* argv, OtherArguments others, JoystickOption joystickOption);
// The help, naming the settings file this user's assignments are kept in, and ending with the
// platform's note when there is one.
std::string helpText(const std::filesystem::path& settingsFile, JoystickOption joystickOption,
                     const std::string& platformNote = {});
std::string versionText();

}  // namespace kivo
