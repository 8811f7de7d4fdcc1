#include "app/command_line.h"

#include "kivo_version.h"
#include "settings/location.h"

#include <string_view>
#include <vector>

namespace kivo {
namespace {

constexpr std::string_view kJoystickOption = "--joystick";

StartRequest refused(std::string why)
{
    return {StartAction::Refuse, std::move(why) + "; try 'kivo --help'", {}, {}};
}

}  // namespace

StartRequest readCommandLine(int argc, const char* const* argv, OtherArguments others, JoystickOption joystickOption)
{
    StartRequest request;
    bool joystickGiven = false;
    std::vector<std::string_view> rest;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--hold-keys" || argument == "--no-hold-keys") {
            if (request.holdKeys)
                return refused("--hold-keys or --no-hold-keys is given twice");
            request.holdKeys = argument == "--hold-keys";
            continue;
        }
        const bool joined = argument.starts_with(std::string(kJoystickOption) + "=");
        if (joystickOption != JoystickOption::Offered || (argument != kJoystickOption && !joined)) {
            rest.push_back(argument);
            continue;
        }
        if (joystickGiven)
            return refused("--joystick is given twice");
        if (!joined && i + 1 == argc)
            return refused("--joystick needs a joystick's name or its number in kivo --list");
        const std::string_view value = joined ? argument.substr(kJoystickOption.size() + 1) : argv[++i];
        const std::optional<JoystickChoice> choice = readJoystickChoice(value);
        if (!choice)
            return refused("--joystick needs a part of a joystick's name or its number in kivo --list, not '" +
                           std::string(value) + "'");
        request.joystick = *choice;
        joystickGiven = true;
    }
    if (rest.empty())
        return request;
    const std::string_view option = rest.front();
    if (rest.size() == 1 && (option == "--help" || option == "-h"))
        request.action = StartAction::ShowHelp;
    else if (rest.size() == 1 && option == "--version")
        request.action = StartAction::ShowVersion;
    else if (rest.size() == 1 && option == "--list")
        request.action = StartAction::ListJoysticks;
    else if (others == OtherArguments::Ignore)
        request.action = StartAction::Run;
    else if (rest.size() > 1)
        return refused("too many arguments");
    else
        return refused("unknown option '" + std::string(option) + "'");
    return request;
}

std::string helpText(const std::filesystem::path& settingsFile, JoystickOption joystickOption,
                     const std::string& platformNote)
{
    const bool offered = joystickOption == JoystickOption::Offered;
    return std::string(offered ? "Usage: kivo [--joystick NAME|N] [--[no-]hold-keys] [--list] | --help | --version\n"
                               : "Usage: kivo [--[no-]hold-keys] [--help | --version | --list]\n") +
           "Play a keyboard-controlled game with a joystick.\n"
           "\n"
           "While Kivo runs, pushing the stick or the D-pad types arrow keys and holding a\n"
           "joystick button types the key assigned to the selected button into the window\n"
           "that has the input focus. To assign a key, bring Kivo's window to the front,\n"
           "press a joystick button, then press the key.\n"
           "\n"
           "If the player moves slowly or stutters, the game reads whether a key is down:\n"
           "tick \"Hold keys down as a keyboard does\" in Kivo's window (HoldKeys=1 in\n"
           "kivo.ini), and the key stays down while the stick or the button is held.\n"
           "\n"
           "Assignments are kept in " +
           (settingsFile.empty() ? "no file: " + std::string(whyNoSettingsFolder()) : settingsFile.string()) +
           "\n"
           "\n"
           "Options:\n"
           "  -h, --help     show this help and exit\n"
           "      --version  show the version and exit\n"
           "      --list     list the joysticks Kivo can read and which it uses, and exit\n"
           "      --hold-keys, --no-hold-keys\n"
           "                 hold keys down as a keyboard does, or type a key stroke on\n"
           "                 every poll, for this run whatever kivo.ini says\n" +
           (offered ? "      --joystick NAME|N\n"
                      "                 use the joystick whose name holds NAME (in any case), or the\n"
                      "                 one numbered N in --list, instead of the first; one not\n"
                      "                 plugged in is waited for\n"
                    : "\nKivo uses the first joystick: the preferred device in the control panel's\n"
                      "Game Controllers.\n") +
           (platformNote.empty() ? std::string() : "\n" + platformNote + "\n");
}

std::string versionText()
{
    return "kivo " KIVO_VERSION "\n";
}

}  // namespace kivo
