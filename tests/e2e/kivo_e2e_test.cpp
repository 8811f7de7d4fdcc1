// GoogleTest first: Xlib defines None as a macro.
#include <gtest/gtest.h>

#include "e2e/host_process.h"
#include "support/file_contents.h"
#include "support/key_recorder.h"
#include "support/private_xvfb.h"

#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <sys/wait.h>
#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

namespace kivo {
namespace {

using namespace std::chrono_literals;
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

    void focus(Window window)
    {
        XSetInputFocus(keyboard, window, RevertToPointerRoot, CurrentTime);
        XSync(keyboard, False);
    }

    // A person holding a key on the real keyboard.
    void holdKey(KeySym keysym, std::chrono::milliseconds duration)
    {
        const KeyCode code = XKeysymToKeycode(keyboard, keysym);
        XTestFakeKeyEvent(keyboard, code, True, CurrentTime);
        XSync(keyboard, False);
        std::this_thread::sleep_for(duration);
        XTestFakeKeyEvent(keyboard, code, False, CurrentTime);
        XSync(keyboard, False);
    }
};

TEST_F(KivoEndToEnd, AssignsAKeyTypesItIntoTheGameAndKeepsItAfterSigterm)
{
    e2e::HostProcess kivo(xvfb.displayName(), configHome, {"--buttons", "4"});
    focus(kivo.windowId());

    kivo.send("press 3");
    std::this_thread::sleep_for(100ms);
    kivo.send("release 3");
    EXPECT_EQ(kivo.labels(), (std::vector<std::string>{"label 1 0 ", "label 2 0 ", "label 3 1 ", "label 4 0 "}));

    holdKey(XK_F5, 100ms);
    EXPECT_EQ(kivo.labels()[2], "label 3 1 Button 3:  {F5}");

    game.takeFocus();
    game.clear();
    kivo.send("press 3");
    std::this_thread::sleep_for(100ms);
    kivo.send("release 3");
    const auto& typed = game.settle();
    EXPECT_GE(test_support::pressesOf(typed, XK_F5), 20u) << "one F5 per tick while the button is held";
    EXPECT_TRUE(test_support::everyPressReleased(typed));

    game.clear();
    kivo.send("axes 65535 32767");
    std::this_thread::sleep_for(50ms);
    kivo.send("axes 32767 32767");
    EXPECT_GE(test_support::pressesOf(game.settle(), XK_Right), 10u);
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
    EXPECT_GE(test_support::pressesOf(game.waitForKeys(2, 2s), XK_Up), 1u);
}

TEST_F(KivoEndToEnd, SleepsWhileNothingCanHappenAndTypesAPressAfterALongIdleAtOnce)
{
    std::filesystem::create_directories(configHome / "kivo");
    std::ofstream(configHome / "kivo" / "kivo.ini") << "[Settings]\n0=Button 1:  {F5}\n";
    e2e::HostProcess kivo(xvfb.displayName(), configHome, {"--buttons", "2"});
    focus(kivo.windowId());
    kivo.send("press 1");
    std::this_thread::sleep_for(100ms);
    kivo.send("release 1");
    ASSERT_EQ(kivo.labels()[0], "label 1 1 Button 1:  {F5}");
    game.takeFocus();
    std::this_thread::sleep_for(100ms);

    const long before = kivo.wakeUps();
    std::this_thread::sleep_for(1s);
    EXPECT_LT(kivo.wakeUps() - before, 100) << "polling every millisecond wakes a thousand times a second";

    game.clear();
    kivo.send("press 1");
    EXPECT_GE(test_support::pressesOf(game.waitForKeys(1, 1s), XK_F5), 1u);
    kivo.send("release 1");
    game.settle();
}

TEST_F(KivoEndToEnd, KivosWindowComingToTheFrontWakesItForAssignments)
{
    e2e::HostProcess kivo(xvfb.displayName(), configHome, {"--buttons", "2"});
    focus(kivo.windowId());
    kivo.send("press 2");
    std::this_thread::sleep_for(100ms);
    kivo.send("release 2");
    game.takeFocus();
    std::this_thread::sleep_for(300ms);

    focus(kivo.windowId());
    // As a user does, the key goes down once the window is in front: a key that is down when
    // Kivo first sees its window in front does not count until released.
    std::this_thread::sleep_for(300ms);
    holdKey(XK_F7, 100ms);
    EXPECT_EQ(kivo.labels()[1], "label 2 1 Button 2:  {F7}");

    // Nothing closes the window on a kill; the assignment was saved as it was made.
    kivo.terminate(SIGKILL);
    EXPECT_NE(test_support::fileContents(configHome / "kivo" / "kivo.ini").find("\n1=Button 2:  {F7}\n"),
              std::string::npos);
}

}  // namespace
}  // namespace kivo
