#include "app/command_line.h"
#include "app/kivo_main.h"

#include <gtest/gtest.h>

#include <vector>

namespace kivo {
namespace {

struct CommandLineCase {
    std::vector<const char*> arguments;
    OtherArguments others;
    StartAction action;
    // What runKivo returns, with a start-up that returns 7.
    int status;
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
    };
    for (const auto& c : cases) {
        std::vector<const char*> argv{"kivo"};
        argv.insert(argv.end(), c.arguments.begin(), c.arguments.end());
        const StartRequest request = readCommandLine(static_cast<int>(argv.size()), argv.data(), c.others);
        const std::string what =
            std::string(c.arguments.empty() ? "" : c.arguments.front()) + " " + std::to_string(c.arguments.size());
        EXPECT_EQ(request.action, c.action) << what;
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        const int status = runKivo(
            static_cast<int>(argv.size()), const_cast<char**>(argv.data()), c.others,
            [](int&, char**) { return started; }, [] { return std::string(); });
        testing::internal::GetCapturedStdout();
        testing::internal::GetCapturedStderr();
        EXPECT_EQ(status, c.status) << what;
    }
}

}  // namespace
}  // namespace kivo
