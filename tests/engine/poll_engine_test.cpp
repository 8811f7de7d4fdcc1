#include "engine/poll_engine.h"
#include "fakes/fake_input_services.h"
#include "fakes/memory_labels.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace kivo {
namespace {

using Sent = std::vector<std::string>;

constexpr WindowHandle kKivoWindow = 0x4200001;
constexpr WindowHandle kGameWindow = 0x1e00007;

class PollEngineTest : public ::testing::Test {
protected:
    fakes::FakeInputServices fake;
    fakes::MemoryLabels labels{4};
    SelectedButton selected;
    PollEngine engine{fake.services(), labels, selected, kKivoWindow};

    void SetUp() override { fake.foreground.window = kGameWindow; }

    void startUp()
    {
        engine.resetSelection();
        engine.fillKeyNameTable();
        engine.readButtonCount();
        engine.captureRestPosition();
    }

    // Kivo's window in front with button 3 selected, the button let go again.
    void selectButtonThreeInFront()
    {
        startUp();
        fake.foreground.window = kKivoWindow;
        fake.joystick.hold(3);
        engine.tick();
        fake.joystick.releaseAll();
    }

    Sent tickAndTakeSent()
    {
        fake.sender.sent.clear();
        engine.tick();
        return fake.sender.sent;
    }

    std::vector<bool> boldFlags() const
    {
        std::vector<bool> flags;
        for (const auto& label : labels.labels)
            flags.push_back(label.bold);
        return flags;
    }
};

struct AxisCase {
    std::uint32_t x;
    std::uint32_t y;
    Sent sent;
};

TEST_F(PollEngineTest, ArrowsBeyondTheDeadZoneXFirst)
{
    fake.joystick.state = fakes::StickState{32700, 32700};
    startUp();
    const AxisCase cases[] = {
        {35200, 32700, {}},
        {35300, 32700, {"{right}"}},
        {30200, 32700, {}},
        {30100, 32700, {"{left}"}},
        {32700, 35300, {"{down}"}},
        {32700, 30100, {"{up}"}},
        {65535, 65535, {"{right}", "{down}"}},
        {0, 0, {"{left}", "{up}"}},
        {0, 65535, {"{left}", "{down}"}},
    };
    for (const auto& c : cases) {
        fake.joystick.state->x = c.x;
        fake.joystick.state->y = c.y;
        EXPECT_EQ(tickAndTakeSent(), c.sent) << c.x << ", " << c.y;
        EXPECT_EQ(tickAndTakeSent(), c.sent) << "again on the next tick";
    }
}

struct DpadCase {
    std::uint32_t pov;
    std::uint32_t stickX;
    Sent sent;
};

TEST_F(PollEngineTest, DpadTypesArrowsAsTheStickDoesAndAddsNoSecondArrowForTheSameWay)
{
    constexpr std::uint32_t rest = 32767;
    constexpr std::uint32_t right = 65535;
    constexpr std::uint32_t left = 0;
    startUp();
    const DpadCase cases[] = {
        {0, rest, {"{up}"}},
        {4500, rest, {"{right}", "{up}"}},
        {9000, rest, {"{right}"}},
        {13500, rest, {"{right}", "{down}"}},
        {18000, rest, {"{down}"}},
        {22500, rest, {"{left}", "{down}"}},
        {27000, rest, {"{left}"}},
        {31500, rest, {"{left}", "{up}"}},
        {65535, rest, {}},
        {2249, rest, {"{up}"}},
        {2250, rest, {"{right}", "{up}"}},
        {35999, rest, {"{up}"}},
        {36000, rest, {}},
        {0xFFFFFFFF, rest, {}},
        {9000, right, {"{right}"}},
        {4500, right, {"{right}", "{up}"}},
        {27000, right, {"{right}"}},
        {65535, left, {"{left}"}},
    };
    for (const auto& c : cases) {
        fake.joystick.state->pov = c.pov;
        fake.joystick.state->x = c.stickX;
        EXPECT_EQ(tickAndTakeSent(), c.sent) << c.pov << ", stick " << c.stickX;
        EXPECT_EQ(tickAndTakeSent(), c.sent) << "again on the next tick";
    }
}

TEST_F(PollEngineTest, ArrowsAreSentWhileKivoIsInFront)
{
    startUp();
    fake.foreground.window = kKivoWindow;
    fake.joystick.state->x = 65535;
    EXPECT_EQ(tickAndTakeSent(), Sent{"{right}"});
}

TEST_F(PollEngineTest, PressedButtonBecomesTheBoldSelectionAndStaysAfterRelease)
{
    startUp();
    fake.foreground.window = kKivoWindow;
    fake.joystick.hold(3);
    engine.tick();
    EXPECT_EQ(selected.index, 2);
    EXPECT_EQ(boldFlags(), (std::vector<bool>{false, false, true, false}));

    fake.joystick.releaseAll();
    engine.tick();
    engine.tick();
    EXPECT_EQ(selected.index, 2);
    EXPECT_EQ(boldFlags(), (std::vector<bool>{false, false, true, false}));

    fake.joystick.hold(1);
    engine.tick();
    EXPECT_EQ(selected.index, 0);
    EXPECT_EQ(boldFlags(), (std::vector<bool>{true, false, false, false}));
}

TEST_F(PollEngineTest, NothingIsCapturedWhileAnotherWindowIsInFront)
{
    startUp();
    fake.joystick.hold(2);
    fake.keyboard.press('A');
    engine.tick();
    EXPECT_EQ(selected.index, SelectedButton::kNone);
    EXPECT_EQ(boldFlags(), (std::vector<bool>(4, false)));
    EXPECT_EQ(labels.at(1).caption, "");
}

TEST_F(PollEngineTest, ButtonNumberNamingNoLabelSelectsNothingVisible)
{
    startUp();
    fake.foreground.window = kKivoWindow;
    fake.joystick.state->buttons = 1;
    for (const std::uint32_t buttonNumber : {0u, 9u}) {
        fake.joystick.state->buttonNumber = buttonNumber;
        EXPECT_EQ(tickAndTakeSent(), Sent{});
        EXPECT_EQ(boldFlags(), (std::vector<bool>(4, false)));
        EXPECT_EQ(selected.index, static_cast<std::int16_t>(buttonNumber) - 1);
    }
}

struct ScanCase {
    const char* name;
    std::vector<std::pair<int, std::uint8_t>> keys;
    std::string caption;
};

TEST_F(PollEngineTest, KeyScanWritesTheTokenOfTheHighestDownCode)
{
    const ScanCase cases[] = {
        {"letter", {{'A', 0x80}}, "Button 3:  A"},
        {"function key", {{116, 0x80}}, "Button 3:  {F5}"},
        {"space keeps its blank", {{32, 0x80}}, "Button 3:  Space "},
        {"toggled but not down", {{20, 0x01}}, "unchanged"},
        {"down and toggled", {{20, 0x81}}, "Button 3:  {CapsLock}"},
        {"a code whose byte is a control byte", {{21, 0x80}}, "unchanged"},
        {"codes below 8 are never scanned", {{1, 0x80}, {7, 0x80}}, "unchanged"},
        {"backspace is the lowest code scanned", {{7, 0x80}, {8, 0x80}}, "Button 3:  {BackSpace}"},
        {"highest code wins", {{13, 0x80}, {'A', 0x80}, {116, 0x80}}, "Button 3:  {F5}"},
        {"shift with its left-hand code", {{16, 0x80}, {160, 0x80}}, "Button 3:  Shift+"},
        {"control with its right-hand code", {{17, 0x80}, {163, 0x80}}, "Button 3:  Control^"},
        {"alt with both hand codes", {{18, 0x80}, {164, 0x80}, {165, 0x80}}, "Button 3:  Alt%"},
        {"hand code alone still counts", {{161, 0x80}}, "Button 3:  \xA1"},
        {"hand code above a toggled-only general code", {{16, 0x01}, {160, 0x80}}, "Button 3:  \xA0"},
        {"Num Lock on above a letter that is down", {{'A', 0x80}, {144, 0x01}}, "Button 3:  A"},
        {"modifier with a letter", {{16, 0x80}, {160, 0x80}, {'B', 0x80}}, "Button 3:  B"},
    };
    selectButtonThreeInFront();
    for (const auto& c : cases) {
        labels.at(2).caption = "unchanged";
        fake.keyboard.releaseAll();
        engine.tick();
        for (const auto& [code, value] : c.keys)
            fake.keyboard.keys[static_cast<std::size_t>(code)] = value;
        engine.tick();
        EXPECT_EQ(labels.at(2).caption, c.caption) << c.name;
        for (const int other : {0, 1, 3})
            EXPECT_EQ(labels.at(other).caption, "") << c.name;
    }
}

// Keys down on each tick, from the first press until all are up, and the caption they leave.
struct ChordCase {
    const char* name;
    std::vector<std::vector<int>> ticks;
    std::string caption;
};

// A chord is assigned as it was pressed, whichever of its keys is let go first and however
// slowly: AltGr (Alt and right Alt) with a key that reads as another code without it.
TEST_F(PollEngineTest, KeysLetGoInAnyOrderKeepTheChordPressed)
{
    const ChordCase cases[] = {
        {"key let go first", {{18, 165}, {18, 165, 0xc1}, {18, 165}, {18, 165}, {}}, "Button 3:  \xC1"},
        {"AltGr let go first", {{18, 165}, {18, 165, 0xc1}, {'E'}, {'E'}, {}}, "Button 3:  \xC1"},
        {"modifier alone", {{16, 160}, {16, 160}, {}}, "Button 3:  Shift+"},
        {"second key while the first is held", {{'A'}, {'A', 'B'}, {'B'}, {}}, "Button 3:  B"},
        {"next key after all are up", {{'A'}, {}, {'B'}, {}}, "Button 3:  B"},
    };
    selectButtonThreeInFront();
    for (const auto& c : cases) {
        for (const auto& down : c.ticks) {
            fake.keyboard.releaseAll();
            for (const int code : down)
                fake.keyboard.press(code);
            engine.tick();
        }
        EXPECT_EQ(labels.at(2).caption, c.caption) << c.name;
    }
}

TEST_F(PollEngineTest, KeysPressedBeforeAnySelectionChangeNoCaption)
{
    startUp();
    fake.foreground.window = kKivoWindow;
    fake.keyboard.press('A');
    engine.tick();
    for (const auto& label : labels.labels)
        EXPECT_EQ(label.caption, "");
}

TEST_F(PollEngineTest, KeysHeldAsKivoComesToFrontCountOnlyAfterRelease)
{
    startUp();
    fake.foreground.window = kKivoWindow;
    fake.joystick.hold(3);
    engine.tick();
    fake.joystick.releaseAll();
    labels.at(2).caption = "Button 3:  {F5}";
    fake.foreground.window = kGameWindow;
    fake.keyboard.press(18);
    fake.keyboard.press(9);
    engine.tick();
    fake.foreground.window = kKivoWindow;
    engine.tick();
    fake.keyboard.keys[9] = 0;
    engine.tick();
    EXPECT_EQ(labels.at(2).caption, "Button 3:  {F5}") << "Alt+Tab into Kivo";
    fake.keyboard.press(9);
    engine.tick();
    EXPECT_EQ(labels.at(2).caption, "Button 3:  {Tab}") << "Tab pressed again in front";
}

struct HeldCase {
    const char* name;
    std::string caption;
    std::vector<int> held;
    Sent sent;
};

TEST_F(PollEngineTest, HeldButtonSendsTheSelectedButtonsKey)
{
    const HeldCase cases[] = {
        {"named key", "Button 2:  {Enter}", {2}, {"{Enter}"}},
        {"other button held", "Button 2:  {Enter}", {4}, {"{Enter}"}},
        {"two buttons, one key", "Button 2:  A", {1, 4}, {"A"}},
        {"modifier token", "Button 2:  Shift+", {2}, {"+"}},
        {"cleared caption", "Button 2:  ", {2}, {}},
        {"layout caption", "Button 1:", {2}, {":"}},
        {"empty caption", "", {2}, {}},
        {"none held", "Button 2:  A", {}, {}},
    };
    startUp();
    selected.index = 1;
    for (const auto& c : cases) {
        labels.at(1).caption = c.caption;
        fake.joystick.releaseAll();
        for (const int button : c.held)
            fake.joystick.hold(button);
        EXPECT_EQ(tickAndTakeSent(), c.sent) << c.name;
    }
}

TEST_F(PollEngineTest, HeldButtonSendsNothingWithoutAValidSelection)
{
    startUp();
    labels.at(0).caption = "Button 1:  A";
    fake.joystick.hold(1);
    for (const std::int16_t index : {SelectedButton::kNone, std::int16_t{7}}) {
        selected.index = index;
        EXPECT_EQ(tickAndTakeSent(), Sent{}) << index;
    }
}

TEST_F(PollEngineTest, ButtonsBeyondTheCountAreIgnored)
{
    fake.joystick.buttonCount = 2;
    startUp();
    selected.index = 0;
    labels.at(0).caption = "Button 1:  A";
    fake.joystick.hold(3);
    EXPECT_EQ(tickAndTakeSent(), Sent{});
}

TEST_F(PollEngineTest, SelectingWhileInFrontAlsoTypesIntoKivoInTheSameTick)
{
    startUp();
    labels.at(1).caption = "Button 2:  {F2}";
    fake.foreground.window = kKivoWindow;
    fake.joystick.hold(2);
    EXPECT_EQ(tickAndTakeSent(), Sent{"{F2}"});
}

TEST_F(PollEngineTest, StickAndButtonSendArrowsThenKeyInOneTickUnlessKivosOwnBoxIsInFront)
{
    startUp();
    selected.index = 0;
    labels.at(0).caption = "Button 1:  {Esc}";
    fake.joystick.state->x = 0;
    fake.joystick.state->y = 65535;
    fake.joystick.hold(1);
    EXPECT_EQ(tickAndTakeSent(), (Sent{"{left}", "{down}", "{Esc}"}));

    // Nothing at all while one of Kivo's own questions or message boxes has the keyboard.
    engine.setOwnBoxInFront(true);
    EXPECT_EQ(tickAndTakeSent(), Sent{});
    engine.setOwnBoxInFront(false);
    EXPECT_EQ(tickAndTakeSent(), (Sent{"{left}", "{down}", "{Esc}"}));
}

TEST_F(PollEngineTest, KeysThatAnsweredKivosOwnBoxCountOnlyAfterReleaseOnceTheWindowIsBack)
{
    startUp();
    selected.index = 0;
    fake.foreground.window = kKivoWindow;
    for (const int answer : {13, 32}) {  // Enter and Space answer a box
        labels.at(0).caption = "Button 1:  {F5}";
        engine.tick();
        engine.setOwnBoxInFront(true);
        fake.keyboard.press(answer);
        engine.tick();
        engine.setOwnBoxInFront(false);
        engine.tick();
        EXPECT_EQ(labels.at(0).caption, "Button 1:  {F5}") << answer << " still down from the box";
        fake.keyboard.keys[static_cast<std::size_t>(answer)] = 0;
        engine.tick();
        fake.keyboard.press(answer);
        engine.tick();
        EXPECT_NE(labels.at(0).caption, "Button 1:  {F5}") << answer << " pressed again in the window";
        fake.keyboard.keys[static_cast<std::size_t>(answer)] = 0;
    }
}

struct HoldStep {
    const char* what;
    std::optional<fakes::StickState> stick;
    WindowHandle inFront;
    bool ownBox;
    Sent sent;
};

// Run in order on one engine: each step holds what the one before left down.
TEST_F(PollEngineTest, HeldKeysGoDownAtThePushUpAtTheLetGoAndWheneverAnotherWindowCouldSeeThem)
{
    fake.joystick.state = fakes::StickState{32700, 32700};
    startUp();
    selected.index = 0;
    labels.at(0).caption = "Button 1:  {Enter}";
    engine.setHoldKeys(true);
    using S = fakes::StickState;
    const HoldStep steps[] = {
        {"stick right", S{65535, 32700}, kGameWindow, false, {"down {right}"}},
        {"still right", S{65535, 32700}, kGameWindow, false, {}},
        {"diagonal", S{65535, 65535}, kGameWindow, false, {"down {down}"}},
        {"turned round", S{0, 0}, kGameWindow, false, {"up {down}", "up {right}", "down {left}", "down {up}"}},
        {"D-pad right", S{32700, 32700, 0, 0, 9000}, kGameWindow, false, {"up {up}", "up {left}", "down {right}"}},
        {"and a button", S{32700, 32700, 0b10, 2, 9000}, kGameWindow, false, {"down {Enter}"}},
        {"another window in front",
         S{32700, 32700, 0b10, 2, 9000},
         kGameWindow + 1,
         false,
         {"up {Enter}", "up {right}", "down {right}", "down {Enter}"}},
        {"Kivo's window in front", S{32700, 32700, 0, 0, 9000}, kKivoWindow, false, {"up {Enter}", "up {right}"}},
        {"back in the game", S{65535, 32700}, kGameWindow, false, {"down {right}"}},
        {"a box of Kivo's", S{65535, 32700}, kGameWindow, true, {"up {right}"}},
        {"the box answered", S{65535, 32700}, kGameWindow, false, {"down {right}"}},
        {"unplugged", std::nullopt, kGameWindow, false, {"up {right}"}},
        {"the button alone", S{32700, 32700, 0b1, 1}, kGameWindow, false, {"down {Enter}"}},
    };
    for (const HoldStep& step : steps) {
        fake.joystick.state = step.stick;
        fake.foreground.window = step.inFront;
        engine.setOwnBoxInFront(step.ownBox);
        EXPECT_EQ(tickAndTakeSent(), step.sent) << step.what;
        EXPECT_EQ(engine.idle(), step.inFront != kKivoWindow) << step.what;
    }
    fake.sender.sent.clear();
    engine.setHoldKeys(false);
    EXPECT_EQ(fake.sender.sent, Sent{"up {Enter}"}) << "the mode switched off";
    EXPECT_EQ(tickAndTakeSent(), Sent{"{Enter}"}) << "a stroke on every tick again";
}

TEST_F(PollEngineTest, JoystickAnsweringOnlyAfterStartUpRestsWhereItFirstAnswers)
{
    const auto atRest = fake.joystick.state;
    fake.joystick.state.reset();
    fake.joystick.buttonCount.reset();
    startUp();
    EXPECT_EQ(engine.buttonCount(), 0);
    EXPECT_EQ(tickAndTakeSent(), Sent{});

    fake.joystick.state = atRest;
    EXPECT_EQ(tickAndTakeSent(), Sent{});
    EXPECT_EQ(tickAndTakeSent(), Sent{});
    fake.joystick.state->x += 2600;
    EXPECT_EQ(tickAndTakeSent(), Sent{"{right}"});
}

TEST_F(PollEngineTest, JoystickThatStopsAnsweringCountsAsAtRestWithNoButton)
{
    fake.joystick.state = fakes::StickState{30000, 30000};
    startUp();
    fake.foreground.window = kKivoWindow;
    fake.joystick.hold(2);
    engine.tick();
    labels.at(1).caption = "Button 2:  {F5}";
    fake.foreground.window = kGameWindow;
    fake.joystick.state->x = 65535;
    fake.joystick.state->pov = 18000;
    EXPECT_EQ(tickAndTakeSent(), (Sent{"{right}", "{down}", "{F5}"}));

    fake.joystick.state.reset();
    for (int tick = 0; tick < 3; ++tick)
        EXPECT_EQ(tickAndTakeSent(), Sent{}) << "unplugged, tick " << tick;
    EXPECT_TRUE(engine.idle()) << "an unplugged joystick lets the ticks stop";
    EXPECT_EQ(selected.index, 1) << "the selection stays";

    fake.joystick.state = fakes::StickState{30000, 30000};
    fake.joystick.hold(1);
    EXPECT_EQ(tickAndTakeSent(), Sent{"{F5}"}) << "plugged in again, at the same rest";
}

struct KeysAtCloseCase {
    const char* name;
    std::vector<int> keysThatAssign;
    bool stillDownAtClose;
    std::string saved;
};

TEST_F(PollEngineTest, KeysStillDownWhenClosingDoNotChangeTheCaption)
{
    const KeysAtCloseCase cases[] = {
        {"Alt+F4 still down", {18, 115}, true, "Button 3:  {Enter}"},
        {"Alt alone still down", {18}, true, "Button 3:  {Enter}"},
        {"a key pressed and released", {116}, false, "Button 3:  {F5}"},
    };
    for (const auto& c : cases) {
        startUp();
        fake.foreground.window = kKivoWindow;
        fake.keyboard.releaseAll();
        fake.joystick.hold(3);
        engine.tick();
        fake.joystick.releaseAll();
        labels.at(2).caption = "Button 3:  {Enter}";
        engine.tick();
        for (const int code : c.keysThatAssign) {
            fake.keyboard.press(code);
            engine.tick();
        }
        if (!c.stillDownAtClose) {
            fake.keyboard.releaseAll();
            engine.tick();
        }
        engine.undoCaptureOfKeysStillDown();
        EXPECT_EQ(labels.at(2).caption, c.saved) << c.name;
    }
}

TEST_F(PollEngineTest, StartUpReadsButtonCountAndSelectsNothing)
{
    selected.index = 3;
    fake.joystick.buttonCount = 12;
    startUp();
    EXPECT_EQ(engine.buttonCount(), 12);
    EXPECT_EQ(selected.index, SelectedButton::kNone);
}

}  // namespace
}  // namespace kivo
