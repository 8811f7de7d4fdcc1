#include "window/window_logic.h"

#include "fakes/memory_toolkit.h"
#include "support/temp_settings.h"

#include "fakes/fake_input_services.h"

#include <gtest/gtest.h>

#include <fstream>
#include <tuple>

namespace kivo {
namespace {

using test_support::MemoryToolkit;
using test_support::TempSettings;

// Puts the joystick's start-up reads into the toolkit's log, with the selection as it stood.
class LoggingJoystick final : public Joystick {
public:
    LoggingJoystick(Joystick& inner, std::vector<std::string>& log, const SelectedButton& selected)
        : inner_(inner), log_(log), selected_(selected)
    {
    }
    bool capabilities(unsigned deviceId, JOYCAPS& caps) override
    {
        log_.push_back("capabilities, selection " + std::to_string(selected_.index));
        return inner_.capabilities(deviceId, caps);
    }
    bool position(unsigned deviceId, JOYINFOEX& info) override
    {
        log_.push_back("position");
        return inner_.position(deviceId, info);
    }

private:
    Joystick& inner_;
    std::vector<std::string>& log_;
    const SelectedButton& selected_;
};

class WindowLogicTest : public ::testing::Test {
protected:
    void start(std::uint32_t buttons)
    {
        fakes.joystick.buttonCount = buttons;
        window.load();
        window.activated();
        form.log.clear();
    }

    std::vector<std::string> captions() const
    {
        std::vector<std::string> all;
        for (const auto& label : form.labels)
            all.push_back(label.caption);
        return all;
    }

    TempSettings settings;
    fakes::FakeInputServices fakes;
    SelectedButton selected{7};
    MemoryToolkit form;
    LoggingJoystick joystick{fakes.joystick, form.log, selected};
    WindowLogic window{form, {joystick, fakes.keyboard, fakes.foreground, fakes.sender}, selected, settings.location()};
};

TEST_F(WindowLogicTest, LoadRunsStartUpInOrderWithTheTimerOffThroughout)
{
    settings.store({"Button 1:  {Enter}", "Button 2:  "});
    fakes.joystick.buttonCount = 2;
    window.load();

    EXPECT_EQ(form.log,
              (std::vector<std::string>{"timer off", "capabilities, selection -1", "create 1", "place 1", "show 1",
                                        "caption 1 Button 2:", "position", "caption 0 Button 1:  {Enter}",
                                        "caption 1 Button 2:  ", "timer on"}));
    EXPECT_EQ(window.buttonCount(), 2);
}

TEST_F(WindowLogicTest, EventsReachTheLogicOnlyOnceStartUpIsDone)
{
    EXPECT_EQ(form.events, nullptr);
    start(2);
    EXPECT_EQ(form.events, &window);
}

TEST_F(WindowLogicTest, NothingHappensAfterTheEnd)
{
    start(2);
    form.at(0).caption = "Button 1:  A";
    window.closed(ClosedBy::User);
    form.at(0).caption = "Button 1:  B";
    fakes.foreground.window = MemoryToolkit::kHandle;
    fakes.joystick.hold(2);
    form.answers = {true, true};
    window.closed(ClosedBy::User);
    window.quitClicked();
    window.clearClicked();
    window.activated();
    window.timerTicked();

    EXPECT_EQ(form.exitCodes, std::vector<int>{0});
    EXPECT_TRUE(form.questions.empty());
    EXPECT_EQ(settings.stored(2), (std::vector<std::string>{"Button 1:  A", ""}));
    EXPECT_EQ(selected.index, SelectedButton::kNone);
    EXPECT_TRUE(fakes.sender.sent.empty());
}

// A modal question lets other events through; a close among them ends the window there.
TEST_F(WindowLogicTest, ClosedWhileAQuestionIsOpenSavesOnceAndAnswersNothing)
{
    for (const auto click : {&WindowLogic::quitClicked, &WindowLogic::clearClicked}) {
        TempSettings own;
        MemoryToolkit toolkit;
        WindowLogic logic{toolkit, fakes.services(), selected, own.location()};
        fakes.joystick.buttonCount = 2;
        logic.load();
        toolkit.at(0).caption = "Button 1:  A";
        toolkit.answers = {true};
        toolkit.whileBoxOpen = [&] { logic.closed(ClosedBy::User); };
        (logic.*click)();

        EXPECT_EQ(toolkit.exitCodes, std::vector<int>{0});
        EXPECT_EQ(toolkit.at(0).caption, "Button 1:  A");
        EXPECT_EQ(own.stored(2), (std::vector<std::string>{"Button 1:  A", ""}));
    }
}

TEST_F(WindowLogicTest, FirstRunWithAJoystickLeavesEveryLabelBlankAndTellsNothing)
{
    start(3);
    EXPECT_EQ(captions(), (std::vector<std::string>{"", "", ""}));
    EXPECT_EQ(form.title, design::kTitle);
    EXPECT_TRUE(form.notices.empty());
}

TEST_F(WindowLogicTest, NoJoystickHidesTheLabelLoadsNothingAndTellsTheUserUntilTheEnd)
{
    fakes.joystick.buttonCount.reset();
    fakes.joystick.state.reset();
    window.load();

    EXPECT_FALSE(form.labelVisible(0));
    EXPECT_EQ(form.at(0).caption, "Button 1:");
    EXPECT_TRUE(form.timerEnabled);
    EXPECT_EQ(form.title, design::kTitleWithoutJoystick);
    EXPECT_EQ(form.notices, std::vector<std::string>{"No joystick found"});
    form.answers = {true};
    window.quitClicked();
    EXPECT_EQ(form.notices, (std::vector<std::string>{"No joystick found", "withdrawn"}));
}

TEST_F(WindowLogicTest, FocusIsOnCommand3AfterStartUp)
{
    start(2);
    EXPECT_TRUE(form.focusOnCommand3);
}

TEST_F(WindowLogicTest, TickRunsAPollCycle)
{
    start(4);
    fakes.foreground.window = MemoryToolkit::kHandle;
    fakes.joystick.hold(3);
    window.timerTicked();

    EXPECT_TRUE(form.at(2).bold);
    EXPECT_EQ(selected.index, 2);
}

TEST_F(WindowLogicTest, ClearThenQuitStoresTheClearedCaptions)
{
    start(3);
    form.at(0).caption = "Button 1:  {Enter}";
    form.at(2).caption = "Button 3:  {F1}";
    form.answers = {true, true};
    window.clearClicked();
    window.quitClicked();

    EXPECT_EQ(form.questions, (std::vector<std::string>{"Are you sure you want to clear all settings?",
                                                        "Are you sure you want to quit?"}));
    EXPECT_EQ(settings.stored(3), (std::vector<std::string>{"Button 1:  ", "Button 2:  ", "Button 3:  "}));
    EXPECT_EQ(form.log.back(), "end");
    EXPECT_EQ(form.exitCodes, std::vector<int>{0});
}

TEST_F(WindowLogicTest, ClearMovesTheFocusFirstAndChangesNothingButCaptions)
{
    start(3);
    form.focusOnCommand3 = false;
    form.at(1).bold = true;
    selected.index = 1;
    form.answers = {true};
    window.clearClicked();

    EXPECT_EQ(form.log.front(), "focus Command3");
    EXPECT_EQ(captions(), (std::vector<std::string>{"Button 1:  ", "Button 2:  ", "Button 3:  "}));
    EXPECT_TRUE(form.at(1).bold);
    EXPECT_EQ(selected.index, 1);
    EXPECT_FALSE(settings.written());
    EXPECT_TRUE(form.exitCodes.empty());
}

TEST_F(WindowLogicTest, AnsweringNoDoesNothing)
{
    start(2);
    form.at(0).caption = "Button 1:  A";
    form.answers = {false, false};
    window.clearClicked();
    window.quitClicked();

    EXPECT_TRUE(form.log.empty());
    EXPECT_EQ(form.at(0).caption, "Button 1:  A");
    EXPECT_FALSE(settings.written());
    EXPECT_TRUE(form.exitCodes.empty());
}

TEST_F(WindowLogicTest, CloseAfterQuitAnsweredNoSaves)
{
    start(2);
    form.at(1).caption = "Button 2:  {F5}";
    form.answers = {false};
    window.quitClicked();
    window.closed(ClosedBy::User);

    EXPECT_EQ(settings.stored(2), (std::vector<std::string>{"", "Button 2:  {F5}"}));
    EXPECT_EQ(form.exitCodes, std::vector<int>{0});
}

TEST_F(WindowLogicTest, QuitSavesOnlyTheFirstNCaptions)
{
    settings.store({"a", "b", "Button 3:  kept"});
    start(2);
    form.at(1).caption = "Button 2:  {F5}";
    // A label beyond the joystick's buttons, whose caption is not a setting.
    form.createLabel(2);
    form.setCaption(2, "Button 3:  not a button");
    form.answers = {true};
    window.quitClicked();

    EXPECT_EQ(settings.stored(3), (std::vector<std::string>{"a", "Button 2:  {F5}", "Button 3:  kept"}));
}

TEST_F(WindowLogicTest, FailedSaveEndsWithAFailureStatusAndTellsAUserWhoClosed)
{
    const std::pair<std::function<void(WindowLogic&)>, bool> closes[] = {
        {[](WindowLogic& logic) { logic.quitClicked(); }, true},
        {[](WindowLogic& logic) { logic.closed(ClosedBy::User); }, true},
        {[](WindowLogic& logic) { logic.closed(ClosedBy::System); }, false},
    };
    settings.store({"Button 1:  A"});
    std::filesystem::permissions(settings.file(), std::filesystem::perms::owner_read);
    for (const auto& [close, told] : closes) {
        MemoryToolkit toolkit;
        WindowLogic logic(toolkit, fakes.services(), selected, settings.location());
        logic.load();
        toolkit.at(0).caption = "Button 1:  B";
        toolkit.answers = {true};
        close(logic);
        EXPECT_EQ(toolkit.exitCodes, std::vector<int>{1});
        EXPECT_EQ(toolkit.problemsShown.size(), told ? 1u : 0u);
    }
}

TEST_F(WindowLogicTest, EachAssignmentIsSavedAtOnceAndAFailedSaveIsToldOnce)
{
    start(2);
    fakes.foreground.window = MemoryToolkit::kHandle;
    fakes.joystick.hold(2);
    window.timerTicked();
    fakes.joystick.releaseAll();
    const auto assign = [this](int key) {
        fakes.keyboard.press(key);
        window.timerTicked();
        window.timerTicked();
        fakes.keyboard.releaseAll();
        window.timerTicked();
    };
    assign(116);
    EXPECT_EQ(settings.stored(2), (std::vector<std::string>{"", "Button 2:  {F5}"}));
    form.answers = {true};
    window.clearClicked();
    EXPECT_EQ(settings.stored(2), (std::vector<std::string>{"", "Button 2:  {F5}"})) << "Clear writes nothing";

    std::filesystem::permissions(settings.file(), std::filesystem::perms::owner_read);
    assign(117);
    assign(118);
    EXPECT_EQ(form.problemsShown.size(), 1u);
    std::filesystem::permissions(settings.file(), std::filesystem::perms::owner_all);
    assign(119);
    EXPECT_EQ(settings.stored(2), (std::vector<std::string>{"Button 1:  ", "Button 2:  {F8}"}));
    EXPECT_TRUE(form.exitCodes.empty());
}

// The choice is kivo.ini's until the user switches it, saved at once; a key held down is let go
// before any box of Kivo's opens, and when Kivo ends.
TEST_F(WindowLogicTest, HeldKeysComeFromKivoIniAreSavedAtOnceAndLetGoAtEveryBoxAndAtTheEnd)
{
    settings.store({"Button 1:  {F5}"});
    std::ofstream(settings.file(), std::ios::app) << "HoldKeys=1\n";
    start(2);
    EXPECT_TRUE(form.holdKeysShown);
    selected.index = 0;
    fakes.foreground.window = MemoryToolkit::kHandle + 1;
    fakes.joystick.hold(1);
    const auto sentBy = [this](const std::function<void()>& action) {
        fakes.sender.sent.clear();
        action();
        return fakes.sender.sent;
    };
    using Sent = std::vector<std::string>;
    const auto tick = [this] { window.timerTicked(); };
    EXPECT_EQ(sentBy(tick), Sent{"down {F5}"});
    EXPECT_EQ(sentBy(tick), Sent{});
    form.answers = {false};
    EXPECT_EQ(sentBy([this] { window.clearClicked(); }), Sent{"up {F5}"});
    EXPECT_EQ(sentBy(tick), Sent{"down {F5}"});
    EXPECT_EQ(sentBy([this] { window.holdKeysSwitched(false); }), Sent{"up {F5}"});
    EXPECT_FALSE(readHoldKeys(settings.location()));
    EXPECT_EQ(sentBy(tick), Sent{"{F5}"});
    window.holdKeysSwitched(true);
    EXPECT_TRUE(readHoldKeys(settings.location()));
    EXPECT_EQ(settings.stored(1), Sent{"Button 1:  {F5}"});
    EXPECT_EQ(sentBy(tick), Sent{"down {F5}"});
    EXPECT_EQ(sentBy([this] { window.closed(ClosedBy::System); }), Sent{"up {F5}"});
}

// Held through Kivo's own question or the box of a failed save, a button would answer it; a game
// the user went back to before answering still gets its key.
TEST_F(WindowLogicTest, HeldButtonTypesNothingIntoKivosOwnBoxes)
{
    const auto failedSave = [this] {
        fakes.foreground.window = MemoryToolkit::kHandle;
        window.timerTicked();
        std::filesystem::permissions(settings.file(), std::filesystem::perms::owner_read);
        fakes.keyboard.press(117);
        window.timerTicked();
        fakes.keyboard.releaseAll();
        std::filesystem::permissions(settings.file(), std::filesystem::perms::owner_all);
    };
    const std::tuple<const char*, std::function<void()>, bool, std::vector<std::string>> rows[] = {
        {"a failed save", failedSave, true, {}},
        {"Quit", [this] { window.quitClicked(); }, true, {}},
        {"Clear", [this] { window.clearClicked(); }, true, {}},
        {"Quit, the user back in a game", [this] { window.quitClicked(); }, false, {"{F6}"}},
    };
    settings.store({"Button 1:  {F5}"});
    start(2);
    selected.index = 0;
    fakes.joystick.hold(1);
    for (const auto& [box, open, kivoInFront, typedWhileOpen] : rows) {
        form.ownWindowInFront = kivoInFront;
        form.answers = {false};
        std::vector<std::string> typed;
        form.whileBoxOpen = [&] {
            fakes.sender.sent.clear();
            window.timerTicked();
            typed = fakes.sender.sent;
        };
        open();
        EXPECT_EQ(typed, typedWhileOpen) << box;
        fakes.foreground.window = 0;
        fakes.sender.sent.clear();
        window.timerTicked();
        EXPECT_EQ(fakes.sender.sent, std::vector<std::string>{"{F6}"}) << "after " << box;
    }
    EXPECT_TRUE(form.exitCodes.empty());
}

TEST_F(WindowLogicTest, StartUpProblemsGoToAMessageBoxOnlyWhereAsked)
{
    std::filesystem::create_directory(settings.file());
    for (const bool asked : {false, true}) {
        MemoryToolkit toolkit;
        WindowLogic logic(toolkit, fakes.services(), selected, settings.location());
        if (asked)
            logic.showStartUpProblems();
        logic.load();
        EXPECT_EQ(toolkit.problemsShown.size(), asked ? 1u : 0u);
    }
}

TEST_F(WindowLogicTest, LostWindowSavesOnceAndFails)
{
    start(2);
    form.at(1).caption = "Button 2:  {F5}";
    EXPECT_NE(window.windowLost("the X display went away"), 0);
    form.at(1).caption = "Button 2:  later";
    window.closed(ClosedBy::User);
    EXPECT_EQ(window.windowLost("again"), 0);

    EXPECT_EQ(settings.stored(2), (std::vector<std::string>{"", "Button 2:  {F5}"}));
    EXPECT_TRUE(form.exitCodes.empty()) << "the toolkit is not asked to end a window that is gone";
}

// Alt+F4 closing the window is no assignment; F7 whose release is still on its way when the
// session ends is one.
TEST_F(WindowLogicTest, ClosingWithKeysDownKeepsTheCaptionFromBeforeThemOnlyWhenTheUserClosed)
{
    const std::tuple<ClosedBy, std::vector<int>, const char*> cases[] = {
        {ClosedBy::User, {18, 115}, "Button 1:  {Enter}"},
        {ClosedBy::System, {118}, "Button 1:  {F7}"},
    };
    for (const auto& [closer, keys, saved] : cases) {
        settings.store({"Button 1:  {Enter}"});
        MemoryToolkit toolkit;
        WindowLogic logic(toolkit, fakes.services(), selected, settings.location());
        fakes.joystick.buttonCount = 1;
        logic.load();
        fakes.foreground.window = MemoryToolkit::kHandle;
        fakes.joystick.hold(1);
        logic.timerTicked();
        fakes.joystick.releaseAll();
        for (const int key : keys) {
            fakes.keyboard.press(key);
            logic.timerTicked();
        }
        logic.closed(closer);
        fakes.keyboard.releaseAll();

        EXPECT_EQ(settings.stored(1), std::vector<std::string>{saved}) << static_cast<int>(closer);
    }
}

TEST_F(WindowLogicTest, JoystickArrivingAfterStartUpGetsItsLabelsAndCaptions)
{
    settings.store({"Button 1:  {Enter}", "Button 2:  {F1}", "Button 3:  "});
    const auto atRest = fakes.joystick.state;
    fakes.joystick.state.reset();
    fakes.joystick.buttonCount.reset();
    start(0);
    fakes.joystick.buttonCount.reset();
    window.timerTicked();
    EXPECT_EQ(form.labels.size(), 1u);
    EXPECT_FALSE(form.labelVisible(0));
    EXPECT_EQ(form.notices, std::vector<std::string>{"No joystick found"}) << "told once while nothing changes";

    fakes.joystick.state = atRest;
    fakes.joystick.buttonCount = 3;
    window.timerTicked();
    EXPECT_EQ(window.buttonCount(), 3);
    EXPECT_EQ(captions(), (std::vector<std::string>{"Button 1:  {Enter}", "Button 2:  {F1}", "Button 3:  "}));
    EXPECT_TRUE(form.labelVisible(0) && form.labelVisible(1) && form.labelVisible(2));
    EXPECT_EQ(form.outerWidth(), design::kOuterWidth);
    EXPECT_EQ(form.title, design::kTitle);

    fakes.joystick.state.reset();
    window.timerTicked();
    window.timerTicked();
    EXPECT_EQ(form.labels.size(), 3u);
    EXPECT_TRUE(form.labelVisible(2)) << "the labels stay when it goes away";
    EXPECT_EQ(form.title, design::kTitleWithoutJoystick);
    fakes.joystick.state = atRest;
    window.timerTicked();
    window.timerTicked();
    EXPECT_EQ(form.labels.size(), 3u);
    EXPECT_EQ(form.title, design::kTitle);
    EXPECT_EQ(form.notices,
              (std::vector<std::string>{"No joystick found", "withdrawn", "The joystick went away", "withdrawn"}));
}

}  // namespace
}  // namespace kivo
