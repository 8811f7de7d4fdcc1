// GoogleTest first: Xlib defines None as a macro.
#include <gtest/gtest.h>

#include "e2e/host_process.h"
#include "support/file_contents.h"
#include "support/key_recorder.h"
#include "support/private_xvfb.h"
#include "support/waits.h"

#include <X11/XF86keysym.h>
#include <X11/XKBlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <sys/wait.h>
#include <algorithm>
#include <chrono>
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

    // A key that cannot be assigned, held over several ticks: one line on standard error names
    // it, and the caption stays as it was.
    void expectToldOnceAndCaptionKept(e2e::HostProcess& kivo, Display* user, KeyCode keycode, const std::string& name)
    {
        const std::string before = kivo.labels()[0];
        XTestFakeKeyEvent(user, keycode, True, CurrentTime);
        XSync(user, False);
        EXPECT_TRUE(test_support::waitFor([&] { return kivo.errors().find(name) != std::string::npos; })) << name;
        kivo.send("press 1");
        kivo.labelsOnce(0, "label 1 1 ");
        kivo.send("release 1");
        XTestFakeKeyEvent(user, keycode, False, CurrentTime);
        XSync(user, False);
        EXPECT_EQ(kivo.labels()[0].substr(10), before.substr(10)) << name;
        const std::string errors = kivo.errors();
        EXPECT_EQ(errors.find(name), errors.rfind(name)) << errors;
    }

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

// The server's own repeat of a key held down, in milliseconds between repeats.
unsigned serversRepeatInterval(Display* display)
{
    XkbDescPtr keyboard = XkbAllocKeyboard();
    const bool read = keyboard && XkbGetControls(display, XkbRepeatKeysMask, keyboard) == Success;
    const unsigned interval = read ? keyboard->ctrls->repeat_interval : 0;
    XkbFreeKeyboard(keyboard, 0, True);
    return interval;
}

// A game that reads whether the key is down once a frame, as SDL's keyboard state gives it: the
// share of frames that find it down.
double shareOfFramesDown(Display* display, KeySym keysym)
{
    constexpr int kFrames = 300;
    const KeyCode keycode = XKeysymToKeycode(display, keysym);
    int down = 0;
    for (int frame = 0; frame < kFrames; ++frame) {
        char keys[32];
        XQueryKeymap(display, keys);
        down += (keys[keycode / 8] >> (keycode % 8)) & 1;
    }
    return static_cast<double>(down) / kFrames;
}

// Each held for a measured time: in the held mode a key goes down once, the server repeats it
// at its own rate, and it goes up once at the let-go; otherwise a whole stroke comes every tick.
TEST_F(KivoEndToEnd, HoldsKeysDownWhileTheStickTheDpadOrAButtonIsHeldOnlyInTheHeldMode)
{
    struct Held {
        const char* push;
        const char* letGo;
        KeySym keysym;
    };
    const Held inputs[] = {
        {"axes 65535 32767", "axes 32767 32767", XK_Right},
        {"pov 18000", "pov 65535", XK_Down},
        {"press 1", "release 1", XK_F5},
    };
    const unsigned interval = serversRepeatInterval(keyboard);
    ASSERT_GT(interval, 0u);
    for (const bool holdKeys : {true, false}) {
        std::filesystem::create_directories(configHome / "kivo");
        std::ofstream(configHome / "kivo" / "kivo.ini") << "[Settings]\n0=Button 1:  {F5}\n"
                                                        << (holdKeys ? "HoldKeys=1\n" : "");
        e2e::HostProcess kivo(xvfb.displayName(), configHome, {"--buttons", "2"});
        kivo.send("press 1");
        kivo.labelsOnce(0, "label 1 1 ");
        kivo.send("release 1");
        game.takeFocus();
        for (const Held& input : inputs) {
            const std::string what = std::string(holdKeys ? "held: " : "typed: ") + input.push;
            EXPECT_TRUE(game.waitUntilQuiet()) << what;
            game.clear();
            const auto pushed = std::chrono::steady_clock::now();
            kivo.send(input.push);
            game.waitUntil(test_support::pressed(input.keysym, 4));
            const double framesDown = shareOfFramesDown(keyboard, input.keysym);
            const auto heldFor = std::chrono::steady_clock::now() - pushed;
            kivo.send(input.letGo);
            EXPECT_TRUE(game.waitUntilQuiet()) << what;
            const std::vector<test_support::RecordedKey> keys = game.settle();
            const std::size_t presses = test_support::pressesOf(keys, input.keysym);
            // The server's repeats within the time held, the first press and the one in flight.
            const auto serverRate = static_cast<std::size_t>(heldFor / std::chrono::milliseconds(interval)) + 2;
            if (holdKeys) {
                EXPECT_LE(presses, serverRate) << what;
                EXPECT_GE(framesDown, 0.95) << what;
            } else {
                EXPECT_GT(presses, serverRate) << what;
                EXPECT_LT(framesDown, 0.95) << what;
            }
            EXPECT_EQ(test_support::typedKeysyms(keys), std::vector<KeySym>(presses, input.keysym)) << what;
            ASSERT_FALSE(keys.empty()) << what;
            EXPECT_FALSE(keys.back().pressed) << what;
            EXPECT_TRUE(test_support::everyPressReleased(keys)) << what;
            EXPECT_FALSE(game.anyKeyDown()) << what;
        }
    }
}

// However it is left, a key Kivo holds goes up: another window in front, Kivo's own, the
// joystick gone, SIGTERM.
TEST_F(KivoEndToEnd, HeldKeyGoesUpWhenKivosWindowComesUpTheJoystickGoesAndAtSigterm)
{
    std::filesystem::create_directories(configHome / "kivo");
    std::ofstream(configHome / "kivo" / "kivo.ini") << "[Settings]\nHoldKeys=1\n";
    e2e::HostProcess kivo(xvfb.displayName(), configHome, {"--buttons", "2"});
    game.takeFocus();
    const auto down = [&] { return test_support::waitFor([&] { return game.anyKeyDown(); }); };
    const auto allUp = [&] { return test_support::waitFor([&] { return !game.anyKeyDown(); }); };
    kivo.send("axes 65535 32767");
    ASSERT_TRUE(down());
    focus(kivo.windowId());
    EXPECT_TRUE(allUp()) << "Kivo's window in front";
    game.takeFocus();
    EXPECT_TRUE(down()) << "pressed afresh in the game";
    kivo.send("unplug");
    EXPECT_TRUE(allUp()) << "unplugged";
    kivo.send("plug");
    kivo.send("axes 65535 32767");
    ASSERT_TRUE(down());
    const int status = kivo.terminate(SIGTERM);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_TRUE(allUp()) << "SIGTERM";
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

// A key of a layout, pressed alone or with AltGr, the token it assigns, and the modifiers its
// keycode is typed back with.
struct LayoutKey {
    KeySym keysym;
    std::string token;
    unsigned modifiers = 0;
    bool altGr = false;
    // Let go of AltGr before the key; either way Kivo reads the keyboard between the two.
    bool altGrUpFirst = false;
};

struct Layout {
    std::string names;  // as setxkbmap takes them
    std::vector<LayoutKey> keys;
    // The layout switched to once Kivo runs, of those named.
    unsigned group = 0;
};

// The bytes are Windows-1252, as captions are.
const std::vector<Layout> kLayouts{
    {"us",
     {{XF86XK_AudioMute, ""},
      {XK_semicolon, "{;}"},
      {XK_z, "Z", ShiftMask},
      {XK_backslash, "{\\}"},
      {XK_apostrophe, "{'}"},
      {XK_grave, "{`}"},
      {XK_KP_End, "{Numpad1}"},
      {XK_KP_Enter, "{NumpadEnter}"},
      {XK_KP_Subtract, "{Subtract}"},
      {XK_Print, "{Prtsc}"},
      {XK_Pause, "{Pause}"},
      {XK_Menu, "{Apps}"},
      {XK_Super_L, "{LWin}"},
      {XK_Scroll_Lock, "{ScrollLock}"}}},
    {"de",
     {{XK_y, "Y", ShiftMask},
      {XK_udiaeresis, "\xFC"},
      {XK_odiaeresis, "\xF6"},
      {XK_ssharp, "\xDF"},
      {XK_plus, "{+}"},
      {XK_numbersign, "{#}"},
      {XK_less, "{<}"},
      {XK_minus, "{-}"},
      {XK_dead_circumflex, "{^}"},
      {XK_dead_acute, "\xB4"},
      {XK_e, "\x80", Mod5Mask, true},
      {XK_q, "{@}", Mod5Mask, true},
      {XK_e, "\x80", Mod5Mask, true, true},
      {XK_q, "{@}", Mod5Mask, true, true}}},
    {"us,de",
     {{XK_udiaeresis, "\xFC"}, {XK_ssharp, "\xDF"}, {XK_y, "Z", ShiftMask}, {XK_e, "\x80", Mod5Mask, true}},
     1},
    {"ru,us", {{XK_a, "A", ShiftMask}, {XK_bracketleft, "{[}"}}, 1},
    {"fr",
     {{XK_ampersand, "{&}"},
      {XK_eacute, "\xE9"},
      {XK_parenleft, "{(}"},
      {XK_a, "A", ShiftMask},
      {XK_apostrophe, "{'}"},
      {XK_dead_circumflex, "{^}"},
      {XK_e, "\x80", Mod5Mask, true}}},
    {"ru",
     {{XK_Cyrillic_ef, "{SC01E}"},
      {XK_Cyrillic_shorti, "{SC010}"},
      {XK_Cyrillic_zhe, "{SC027}"},
      {XK_Cyrillic_io, "{SC029}"},
      {XK_period, "{.}"},
      {XK_1, "1"}}},
    {"us -variant intl",
     {{XK_dead_acute, "\xB4"}, {XK_dead_grave, "{`}"}, {XK_q, "\xE4", Mod5Mask, true}, {XK_s, "\xDF", Mod5Mask, true}}},
};

// The table a user on each layout would try: each key assigns a caption showing what it types,
// and the button types the same keycode back with only the modifiers the caption names. Dead
// keys are typed twice, so no text input is left waiting for the key after them.
TEST_F(KivoEndToEnd, EveryKeyOfTheUsersLayoutAssignsAndIsTypedBackOnTheSameKey)
{
    for (const Layout& layout : kLayouts) {
        ASSERT_EQ(std::system(("setxkbmap -display " + xvfb.displayName() + " " + layout.names).c_str()), 0);
        Display* user = XOpenDisplay(xvfb.displayName().c_str());
        const KeyCode altGr = XKeysymToKeycode(user, XK_ISO_Level3_Shift);
        e2e::HostProcess kivo(xvfb.displayName(), configHome, {"--buttons", "1"});
        if (layout.group != 0) {
            XkbLockGroup(user, XkbUseCoreKbd, layout.group);
            XSync(user, False);
        }
        for (const LayoutKey& row : layout.keys) {
            const std::string where = layout.names + ", token " + row.token;
            const KeyCode keycode = XKeysymToKeycode(user, row.keysym);
            ASSERT_NE(keycode, 0) << where;
            focus(kivo.windowId());
            ASSERT_TRUE(kivo.waitUntilInFront()) << where;
            if (row.token.empty()) {
                expectToldOnceAndCaptionKept(kivo, user, keycode, XKeysymToString(row.keysym));
                continue;
            }
            kivo.send("press 1");
            kivo.labelsOnce(0, "label 1 1 ");
            kivo.send("release 1");
            // Once Kivo answers after the release it types no more of the caption into its own
            // window, whose keys (AltGr, Shift) would otherwise let go of the ones pressed here.
            kivo.labelsOnce(0, "label 1 1 ");
            for (const KeyCode down : {row.altGr ? altGr : KeyCode{0}, keycode}) {
                if (down != 0)
                    XTestFakeKeyEvent(user, down, True, CurrentTime);
            }
            XSync(user, False);
            const std::string caption = "label 1 1 Button 1:  " + row.token;
            EXPECT_EQ(kivo.labelsOnce(0, caption)[0], caption) << where;
            const KeyCode firstUp = row.altGrUpFirst ? altGr : keycode;
            XTestFakeKeyEvent(user, firstUp, False, CurrentTime);
            XSync(user, False);
            EXPECT_EQ(kivo.labelsOnce(0, caption)[0], caption) << where << ", one key let go";
            if (row.altGr) {
                XTestFakeKeyEvent(user, row.altGrUpFirst ? keycode : altGr, False, CurrentTime);
                XSync(user, False);
            }
            EXPECT_EQ(kivo.labelsOnce(0, caption)[0], caption) << where << ", all let go";

            game.takeFocus();
            game.clear();
            kivo.send("press 1");
            const auto typedBack = [&](const std::vector<test_support::RecordedKey>& keys) {
                return std::ranges::any_of(keys,
                                           [&](const auto& key) { return key.pressed && key.keycode == keycode; });
            };
            game.waitUntil(typedBack);
            kivo.send("release 1");
            EXPECT_TRUE(game.waitUntilQuiet()) << where;
            const std::vector<test_support::RecordedKey>& keys = game.settle();
            EXPECT_TRUE(typedBack(keys)) << where;
            const unsigned shown = ShiftMask | ControlMask | Mod1Mask | Mod5Mask;
            std::size_t presses = 0;
            for (const test_support::RecordedKey& key : keys) {
                if (key.pressed && key.keycode == keycode) {
                    ++presses;
                    EXPECT_EQ(key.state & shown, row.modifiers) << where;
                }
            }
            if (row.keysym >= XK_dead_grave && row.keysym <= XK_dead_greek) {
                EXPECT_EQ(presses % 2, 0u) << where << ": a dead key left waiting for the key after it";
            }
            EXPECT_TRUE(test_support::everyPressReleased(keys)) << where;
        }
        XCloseDisplay(user);
    }
}

}  // namespace
}  // namespace kivo
