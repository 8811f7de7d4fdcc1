// GoogleTest first: Xlib defines None as a macro.
#include <gtest/gtest.h>

#include "e2e/host_process.h"
#include "support/file_contents.h"
#include "support/key_recorder.h"
#include "support/private_xvfb.h"
#include "support/waits.h"

#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <sys/wait.h>
#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace kivo {
namespace {

using test_support::KeyRecorder;
using test_support::PrivateXvfb;

class KivoEndToEnd : public ::testing::Test {
protected:
    PrivateXvfb xvfb;
    std::filesystem::path configHome =
        std::filesystem::temp_directory_path() / ("kivo-e2e-" + std::to_string(::getpid()));
    KeyRecorder game{xvfb.displayName()};
    Display* keyboard = game.display();

    void SetUp() override { std::filesystem::create_directories(configHome); }
    void TearDown() override { std::filesystem::remove_all(configHome); }

    void focus(Window window) { ASSERT_TRUE(game.giveFocusTo(window)); }

    // A key of the real keyboard going down or up.
    void key(KeySym keysym, bool down)
    {
        XTestFakeKeyEvent(keyboard, XKeysymToKeycode(keyboard, keysym), down ? True : False, CurrentTime);
        XSync(keyboard, False);
    }
};

TEST_F(KivoEndToEnd, AssignsAKeyTypesItIntoTheGameAndKeepsItAfterSigterm)
{
    e2e::HostProcess kivo(xvfb.displayName(), configHome, {"--buttons", "4"});
    focus(kivo.windowId());

    kivo.send("press 3");
    EXPECT_EQ(kivo.labelsOnce(2, "label 3 1 "),
              (std::vector<std::string>{"label 1 0 ", "label 2 0 ", "label 3 1 ", "label 4 0 "}));
    kivo.send("release 3");

    key(XK_F5, true);
    EXPECT_EQ(kivo.labelsOnce(2, "label 3 1 Button 3:  {F5}")[2], "label 3 1 Button 3:  {F5}");
    key(XK_F5, false);

    game.takeFocus();
    game.clear();
    kivo.send("press 3");
    EXPECT_GE(test_support::pressesOf(game.waitUntil(test_support::pressed(XK_F5, 20)), XK_F5), 20u)
        << "one F5 per tick while the button is held";
    kivo.send("release 3");
    EXPECT_TRUE(game.waitUntilQuiet());
    EXPECT_TRUE(test_support::everyPressReleased(game.settle()));

    game.clear();
    kivo.send("axes 65535 32767");
    EXPECT_GE(test_support::pressesOf(game.waitUntil(test_support::pressed(XK_Right, 10)), XK_Right), 10u);
    kivo.send("axes 32767 32767");
    EXPECT_TRUE(game.waitUntilQuiet());
    EXPECT_FALSE(game.anyKeyDown());

    game.clear();
    kivo.send("pov 22500");
    const auto dpad = game.waitUntil(test_support::pressed(XK_Down, 10));
    EXPECT_GE(test_support::pressesOf(dpad, XK_Left), 10u) << "the D-pad down and left types both arrows";
    kivo.send("pov 65535");
    EXPECT_TRUE(game.waitUntilQuiet());
    EXPECT_FALSE(game.anyKeyDown());

    const int status = kivo.terminate(SIGTERM);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    const std::string ini = test_support::fileContents(configHome / "kivo" / "kivo.ini");
    EXPECT_NE(ini.find("\n2=Button 3:  {F5}\n"), std::string::npos) << ini;
}

TEST_F(KivoEndToEnd, StartsWithTheStoredAssignmentsAndSendsNothingAtRest)
{
    std::filesystem::create_directories(configHome / "kivo");
    std::ofstream(configHome / "kivo" / "kivo.ini") << "[Settings]\n0=Button 1:  {Enter}\n1=Button 2:  \n";
    e2e::HostProcess kivo(xvfb.displayName(), configHome, {"--buttons", "2", "--rest", "30000", "30000"});
    EXPECT_EQ(kivo.labels(), (std::vector<std::string>{"label 1 0 Button 1:  {Enter}", "label 2 0 Button 2:  "}));

    game.takeFocus();
    game.clear();
    kivo.send("axes 32000 27600");
    EXPECT_TRUE(game.settle().empty()) << "inside the dead zone around the rest position";
    kivo.send("axes 30000 27400");
    EXPECT_GE(test_support::pressesOf(game.waitUntil(test_support::pressed(XK_Up, 1)), XK_Up), 1u);
}

TEST_F(KivoEndToEnd, SleepsWhileNothingCanHappenAndTypesAPressAfterALongIdleAtOnce)
{
    std::filesystem::create_directories(configHome / "kivo");
    std::ofstream(configHome / "kivo" / "kivo.ini") << "[Settings]\n0=Button 1:  {F5}\n";
    e2e::HostProcess kivo(xvfb.displayName(), configHome, {"--buttons", "2"});
    focus(kivo.windowId());
    kivo.send("press 1");
    ASSERT_EQ(kivo.labelsOnce(0, "label 1 1 Button 1:  {F5}")[0], "label 1 1 Button 1:  {F5}");
    kivo.send("release 1");
    game.takeFocus();

    EXPECT_TRUE(test_support::waitFor([&] { return kivo.wakeUpsInASecond() < 100; }))
        << "polling every millisecond wakes a thousand times a second";

    game.clear();
    kivo.send("press 1");
    EXPECT_GE(test_support::pressesOf(game.waitUntil(test_support::pressed(XK_F5, 1)), XK_F5), 1u);
    kivo.send("release 1");
}

TEST_F(KivoEndToEnd, KivosWindowComingToTheFrontWakesItForAssignments)
{
    e2e::HostProcess kivo(xvfb.displayName(), configHome, {"--buttons", "2"});
    focus(kivo.windowId());
    kivo.send("press 2");
    kivo.labelsOnce(1, "label 2 1 ");
    kivo.send("release 2");
    game.takeFocus();
    ASSERT_TRUE(test_support::waitFor([&] { return kivo.wakeUpsInASecond() < 100; })) << "asleep";

    focus(kivo.windowId());
    // As a user does, the key goes down once the window is in front: a key that is down when
    // Kivo first sees its window in front does not count until released.
    ASSERT_TRUE(kivo.waitUntilInFront());
    key(XK_F7, true);
    EXPECT_EQ(kivo.labelsOnce(1, "label 2 1 Button 2:  {F7}")[1], "label 2 1 Button 2:  {F7}");
    key(XK_F7, false);

    // Nothing closes the window on a kill; the assignment was saved as it was made.
    kivo.terminate(SIGKILL);
    EXPECT_NE(test_support::fileContents(configHome / "kivo" / "kivo.ini").find("\n1=Button 2:  {F7}\n"),
              std::string::npos);
}

}  // namespace
}  // namespace kivo
