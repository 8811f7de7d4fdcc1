#pragma once

#include <filesystem>
#include <string>

namespace kivo {

enum class StartAction { Run, ShowHelp, ShowVersion, ListJoysticks, Refuse };

struct StartRequest {
    StartAction action = StartAction::Run;
    std::string refusal;
};

// What a program does with arguments other than its options: a terminal program refuses them,
// while a Windows program gets them from Explorer (a file dropped on it, a shortcut) and starts.
enum class OtherArguments { Refuse, Ignore };

// Kivo takes no options but --help, --version and --list.
StartRequest readCommandLine(int argc, const char* const* argv, OtherArguments others);
// The help, naming the settings file this user's assignments are kept in, and ending with the
// platform's note when there is one.
std::string helpText(const std::filesystem::path& settingsFile, const std::string& platformNote = {});
std::string versionText();

}  // namespace kivo
