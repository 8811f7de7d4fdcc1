#include "app/command_line.h"

#include <gtest/gtest.h>

#include <vector>

namespace kivo {
namespace {

struct CommandLineCase {
    std::vector<const char*> arguments;
    OtherArguments others;
    StartAction action;
};

TEST(CommandLine, OptionsAreAnsweredAndOtherArgumentsRefusedOrIgnored)
{
    constexpr auto refuse = OtherArguments::Refuse;
    constexpr auto ignore = OtherArguments::Ignore;
    const CommandLineCase cases[] = {
        {{}, refuse, StartAction::Run},
        {{"--help"}, ignore, StartAction::ShowHelp},
        {{"-h"}, refuse, StartAction::ShowHelp},
        {{"--version"}, ignore, StartAction::ShowVersion},
        {{"--list"}, ignore, StartAction::ListJoysticks},
        {{"--verbose"}, refuse, StartAction::Refuse},
        {{"--version", "x"}, refuse, StartAction::Refuse},
        {{"C:\\some file.txt"}, ignore, StartAction::Run},
        {{"--version", "x"}, ignore, StartAction::Run},
    };
    for (const auto& c : cases) {
        std::vector<const char*> argv{"kivo"};
        argv.insert(argv.end(), c.arguments.begin(), c.arguments.end());
        const StartRequest request = readCommandLine(static_cast<int>(argv.size()), argv.data(), c.others);
        EXPECT_EQ(request.action, c.action)
            << (c.arguments.empty() ? "" : c.arguments.front()) << " " << c.arguments.size();
    }
}

}  // namespace
}  // namespace kivo
