#include "app/command_line.h"
#include "app/kivo_main.h"
#include "support/captured_stderr.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace kivo {
namespace {

struct CommandLineCase {
    std::vector<const char*> arguments;
    OtherArguments others;
    StartAction action;
    // What runKivo returns, with a start-up that returns 7.
    int status;
    // What --joystick chose (on Linux, which refuses other arguments; Windows ignores it).
    JoystickChoice joystick = {};
    std::optional<bool> holdKeys = {};
};

TEST(CommandLine, OptionsAreAnsweredAndOtherArgumentsRefusedOrIgnored)
{
    constexpr auto refuse = OtherArguments::Refuse;
    constexpr auto ignore = OtherArguments::Ignore;
    constexpr int started = 7;
    const CommandLineCase cases[] = {
        {{}, refuse, StartAction::Run, started},
        {{"--help"}, ignore, StartAction::ShowHelp, 0},
        {{"-h"}, refuse, StartAction::ShowHelp, 0},
        {{"--version"}, ignore, StartAction::ShowVersion, 0},
        {{"--list"}, ignore, StartAction::ListJoysticks, 0},
        {{"--verbose"}, refuse, StartAction::Refuse, 2},
        {{"--version", "x"}, refuse, StartAction::Refuse, 2},
        {{"C:\\some file.txt"}, ignore, StartAction::Run, started},
        {{"--version", "x"}, ignore, StartAction::Run, started},
        {{"--joystick", "2"}, refuse, StartAction::Run, started, {2, ""}},
        {{"--joystick=X-Box 360"}, refuse, StartAction::Run, started, {0, "X-Box 360"}},
        {{"--joystick", "pad", "--list"}, refuse, StartAction::ListJoysticks, 0, {0, "pad"}},
        {{"--list", "--joystick", "007"}, refuse, StartAction::ListJoysticks, 0, {7, ""}},
        {{"--joystick", "2x"}, refuse, StartAction::Run, started, {0, "2x"}},
        {{"--joystick"}, refuse, StartAction::Refuse, 2},
        {{"--joystick", "0"}, refuse, StartAction::Refuse, 2},
        {{"--joystick", "-1"}, refuse, StartAction::Refuse, 2},
        {{"--joystick="}, refuse, StartAction::Refuse, 2},
        {{"--joystick", "1", "--joystick", "2"}, refuse, StartAction::Refuse, 2},
        {{"--joystick", "1", "--version", "x"}, refuse, StartAction::Refuse, 2},
        {{"--joystick", "2"}, ignore, StartAction::Run, started},
        {{"--hold-keys"}, refuse, StartAction::Run, started, {}, true},
        {{"--no-hold-keys", "--joystick", "2"}, refuse, StartAction::Run, started, {2, ""}, false},
        {{"C:\\game", "--hold-keys"}, ignore, StartAction::Run, started, {}, true},
        {{"--hold-keys", "--no-hold-keys"}, refuse, StartAction::Refuse, 2},
    };
    for (const auto& c : cases) {
        std::vector<const char*> argv{"kivo"};
        argv.insert(argv.end(), c.arguments.begin(), c.arguments.end());
        const JoystickOption joystickOption =
            c.others == refuse ? JoystickOption::Offered : JoystickOption::ControlPanel;
        const StartRequest request =
            readCommandLine(static_cast<int>(argv.size()), argv.data(), c.others, joystickOption);
        const std::string what =
            std::string(c.arguments.empty() ? "" : c.arguments.front()) + " " + std::to_string(c.arguments.size());
        EXPECT_EQ(request.action, c.action) << what;
        EXPECT_EQ(request.joystick.number, c.joystick.number) << what;
        EXPECT_EQ(request.joystick.namePart, c.joystick.namePart) << what;
        EXPECT_EQ(request.holdKeys, c.holdKeys) << what;
        testing::internal::CaptureStdout();
        const test_support::CapturedStderr quiet;
        const int status = runKivo(
            static_cast<int>(argv.size()), const_cast<char**>(argv.data()), c.others, joystickOption,
            [](int&, char**, const StartRequest&) { return started; },
            [](const JoystickChoice&) { return std::string(); });
        testing::internal::GetCapturedStdout();
        EXPECT_EQ(status, c.status) << what;
    }
}

// Windows chooses its joystick in the control panel, so its help offers no --joystick.
TEST(CommandLine, HelpOffersTheJoystickChoiceOnlyWhereItIsTaken)
{
    const std::string offered = helpText("kivo.ini", JoystickOption::Offered);
    const std::string controlPanel = helpText("kivo.ini", JoystickOption::ControlPanel);
    EXPECT_NE(offered.find("--joystick NAME|N"), std::string::npos) << offered;
    EXPECT_EQ(controlPanel.find("--joystick"), std::string::npos) << controlPanel;
    EXPECT_NE(controlPanel.find("Game Controllers"), std::string::npos) << controlPanel;
}

}  // namespace
}  // namespace kivo
