#include "app/command_line.h"

#include "kivo_version.h"
#include "settings/location.h"

#include <string_view>

namespace kivo {

StartRequest readCommandLine(int argc, const char* const* argv, OtherArguments others)
{
    if (argc <= 1)
        return {};
    const std::string_view option = argv[1];
    if (argc == 2 && (option == "--help" || option == "-h"))
        return {StartAction::ShowHelp, {}};
    if (argc == 2 && option == "--version")
        return {StartAction::ShowVersion, {}};
    if (argc == 2 && option == "--list")
        return {StartAction::ListJoysticks, {}};
    if (others == OtherArguments::Ignore)
        return {};
    if (argc > 2)
        return {StartAction::Refuse, "too many arguments; try 'kivo --help'"};
    return {StartAction::Refuse, "unknown option '" + std::string(option) + "'; try 'kivo --help'"};
}

std::string helpText(const std::filesystem::path& settingsFile, const std::string& platformNote)
{
    return "Usage: kivo [--help | --version | --list]\n"
           "Play a keyboard-controlled game with the first joystick.\n"
           "\n"
           "While Kivo runs, pushing the stick or the D-pad types arrow keys and holding a\n"
           "joystick button types the key assigned to the selected button into the window\n"
           "that has the input focus. To assign a key, bring Kivo's window to the front,\n"
           "press a joystick button, then press the key.\n"
           "\n"
           "Assignments are kept in " +
           (settingsFile.empty() ? "no file: " + std::string(whyNoSettingsFolder()) : settingsFile.string()) +
           "\n"
           "\n"
           "Options:\n"
           "  -h, --help     show this help and exit\n"
           "      --version  show the version and exit\n"
           "      --list     list the joysticks Kivo can read, the one it uses first, and exit\n" +
           (platformNote.empty() ? std::string() : "\n" + platformNote + "\n");
}

std::string versionText()
{
    return "kivo " KIVO_VERSION "\n";
}

}  // namespace kivo
