#include "app/linux/edge_choice.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>

namespace kivo {
namespace {

TEST(EdgeChoice, WaylandOnlyWhereUinputCanBeWrittenAndX11IsNotAskedFor)
{
    struct Row {
        SessionFacts facts;
        bool wayland;
        const char* whyNames;
        bool warns;
    };
    const Row table[] = {
        {{false, false, {}, true}, false, "X11 session", false},
        {{false, false, {}, false}, false, "no graphical session", false},
        {{true, false, {}}, true, "every window", false},
        {{true, true, {}}, false, "QT_QPA_PLATFORM", false},
        {{true, false, "Permission denied"}, false, "Permission denied", true},
    };
    for (const Row& row : table) {
        const EdgeChoice choice = chooseEdge(row.facts);
        EXPECT_EQ(choice.wayland, row.wayland) << row.whyNames;
        EXPECT_NE(choice.why.find(row.whyNames), std::string::npos) << choice.why;
        EXPECT_EQ(choice.warning.empty(), !row.warns) << choice.warning;
    }
    EXPECT_EQ(chooseEdge({true, false, "Permission denied"}).warning,
              "keys reach X11 programs only: /dev/uinput cannot be opened for writing (Permission denied); "
              "install the udev rule 70-kivo-uinput.rules (see the README) to type into every window");
}

// A node that opens for reading only (a directory, even for root) cannot make a keyboard.
TEST(EdgeChoice, UinputCountsOnlyWhenItOpensForWriting)
{
    const std::string file = testing::TempDir() + "kivo-writable-node";
    std::ofstream(file).put('\n');
    EXPECT_EQ(writingProblem(file.c_str()), "");
    EXPECT_EQ(writingProblem(testing::TempDir().c_str()), std::strerror(EISDIR));
    std::remove(file.c_str());
}

TEST(EdgeChoice, QtPlatformXcbForcesX11WithoutTryingUinput)
{
    ::setenv("WAYLAND_DISPLAY", "wayland-kivo-test", 1);
    ::setenv("QT_QPA_PLATFORM", "xcb;wayland", 1);
    const SessionFacts forced = currentSessionFacts();
    ::setenv("QT_QPA_PLATFORM", "wayland", 1);
    const SessionFacts wayland = currentSessionFacts();
    ::unsetenv("WAYLAND_DISPLAY");
    const SessionFacts x11 = currentSessionFacts();
    ::unsetenv("QT_QPA_PLATFORM");

    EXPECT_TRUE(forced.waylandSession && forced.x11Forced);
    EXPECT_TRUE(forced.uinputProblem.empty());
    EXPECT_TRUE(wayland.waylandSession && !wayland.x11Forced);
    EXPECT_FALSE(x11.waylandSession);
}

}  // namespace
}  // namespace kivo
