#include "e2e/host_commands.h"

#include <gtest/gtest.h>

namespace kivo::e2e {
namespace {

TEST(HostCommands, ReadsWellFormedLinesAndRefusesTheRest)
{
    struct Case {
        const char* line;
        bool valid;
    };
    const Case cases[] = {
        {"axes 0 65535", true}, {"press 1", true},   {"release 4", true}, {"labels", true},   {"axes 65536 0", false},
        {"axes -1 0", false},   {"axes 5", false},   {"press 0", false},  {"press 5", false}, {"press", false},
        {"press 2 x", false},   {"jump", false},     {"", false},         {"unplug", true},   {"plug", true},
        {"unplug 1", false},    {"pov 31500", true}, {"pov 65535", true}, {"pov", false},     {"pov 65536", false},
    };
    for (const auto& c : cases) {
        std::string error;
        EXPECT_EQ(parseHostCommand(c.line, 4, error).has_value(), c.valid) << '"' << c.line << '"';
        EXPECT_EQ(error.empty(), c.valid) << '"' << c.line << '"';
    }
}

TEST(HostCommands, RawAxisValuesMapOntoSdlsRange)
{
    EXPECT_EQ(sdlAxisFromRaw(0), -32768);
    EXPECT_EQ(sdlAxisFromRaw(32768), 0);
    EXPECT_EQ(sdlAxisFromRaw(65535), 32767);
}

}  // namespace
}  // namespace kivo::e2e
