#include "window/window_logic.h"

#include "fakes/memory_toolkit.h"
#include "support/temp_settings.h"

#include "fakes/fake_input_services.h"
#include "fakes/fake_wake_ups.h"

#include <gtest/gtest.h>

#include <utility>

namespace kivo {
namespace {

using test_support::MemoryToolkit;
using test_support::TempSettings;
using Sent = std::vector<std::string>;

class SleepBetweenWakeUps : public ::testing::Test {
protected:
    void start(bool withWakeUps = true)
    {
        if (withWakeUps)
            window.sleepBetweenWakeUps(wakeUps, [this] { return now; });
        window.load();
        fakes.foreground.window = kGameWindow;
        selected.index = 0;
        form.at(0).caption = "Button 1:  {F5}";
    }

    Sent takeSent() { return std::exchange(fakes.sender.sent, {}); }

    void goToSleep()
    {
        window.timerTicked();
        ASSERT_FALSE(form.timerEnabled);
        form.log.clear();
    }

    static constexpr WindowHandle kGameWindow = 0x1e00007;
    WindowLogic::Clock::time_point now;
    TempSettings settings;
    fakes::FakeInputServices fakes;
    fakes::FakeWakeUps wakeUps;
    SelectedButton selected;
    MemoryToolkit form;
    WindowLogic window{form, fakes.services(), selected, settings.location()};
};

struct TimerCase {
    const char* what;
    bool withWakeUps;
    bool watching;
    fakes::StickState stick;
    WindowHandle inFront;
    bool timerEnabled;
};

TEST_F(SleepBetweenWakeUps, OnlyAnIdleTickWithEverythingWatchedStopsTheTimer)
{
    const fakes::StickState atRest{};
    const TimerCase cases[] = {
        {"idle, everything watched", true, true, atRest, kGameWindow, false},
        {"no wake-up source", false, true, atRest, kGameWindow, true},
        {"a joystick nobody can watch", true, false, atRest, kGameWindow, true},
        {"stick pushed", true, true, {65535, 32767}, kGameWindow, true},
        {"button held", true, true, {32767, 32767, 1, 1}, kGameWindow, true},
        {"Kivo's window in front", true, true, atRest, MemoryToolkit::kHandle, true},
    };
    for (const TimerCase& c : cases) {
        MemoryToolkit caseForm;
        fakes::FakeInputServices caseFakes;
        fakes::FakeWakeUps caseWakeUps;
        caseWakeUps.watching = c.watching;
        WindowLogic logic{caseForm, caseFakes.services(), selected, settings.location()};
        if (c.withWakeUps)
            logic.sleepBetweenWakeUps(caseWakeUps);
        logic.load();
        caseFakes.joystick.state = c.stick;
        caseFakes.foreground.window = c.inFront;
        logic.timerTicked();
        EXPECT_EQ(caseForm.timerEnabled, c.timerEnabled) << c.what;
    }
}

TEST_F(SleepBetweenWakeUps, AWakeUpTicksAtOnceThenEveryMillisecondUntilATickDoesNothing)
{
    start();
    goToSleep();

    fakes.joystick.hold(2);
    wakeUps.wake();
    EXPECT_EQ(takeSent(), Sent{"{F5}"}) << "typed by the wake-up itself, not a millisecond later";
    EXPECT_EQ(form.log, (std::vector<std::string>{"timer on"}));

    window.timerTicked();
    EXPECT_EQ(takeSent(), Sent{"{F5}"});
    fakes.joystick.releaseAll();
    window.timerTicked();
    EXPECT_FALSE(form.timerEnabled);
}

// A noisy stick wakes Kivo without moving past the dead zone; it must not cost more than ticking.
TEST_F(SleepBetweenWakeUps, AWakeUpThatFindsNothingToDoSleepsOnUnlessItCameWithinAFewTicks)
{
    using std::chrono::microseconds;
    const std::pair<microseconds, bool> cases[] = {
        {microseconds(5000), false}, {microseconds(400), true}, {microseconds(1100), true}};
    start();
    for (const auto& [after, ticking] : cases) {
        goToSleep();
        const int reads = fakes.joystick.positionReads;
        now += after;
        wakeUps.wake();
        EXPECT_EQ(fakes.joystick.positionReads, reads + 1) << after.count();
        EXPECT_EQ(form.timerEnabled, ticking) << after.count();
        if (!ticking)
            continue;
        window.timerTicked();
        EXPECT_TRUE(form.timerEnabled) << "a quiet tick just after the noise sleeps again";
        now += std::chrono::milliseconds(250);
    }
}

TEST_F(SleepBetweenWakeUps, KivosWindowComingToTheFrontStartsTheTicks)
{
    start();
    goToSleep();

    now += std::chrono::milliseconds(5);
    fakes.foreground.window = MemoryToolkit::kHandle;
    window.activated();
    EXPECT_TRUE(form.timerEnabled);
}

TEST_F(SleepBetweenWakeUps, AWakeUpWhileTheTimerRunsTypesNoExtraKey)
{
    start();
    fakes.joystick.hold(1);
    window.timerTicked();
    takeSent();

    wakeUps.wake();
    EXPECT_TRUE(takeSent().empty());
}

TEST_F(SleepBetweenWakeUps, WakeUpsAreHeardOnlyFromTheEndOfStartUpToTheEndOfTheWindow)
{
    window.sleepBetweenWakeUps(wakeUps);
    EXPECT_EQ(wakeUps.listener(), nullptr);
    start();
    goToSleep();
    form.answers = {true};
    window.quitClicked();
    const int reads = fakes.joystick.positionReads;

    wakeUps.wake();
    EXPECT_EQ(fakes.joystick.positionReads, reads);
    {
        MemoryToolkit otherForm;
        WindowLogic other{otherForm, fakes.services(), selected, settings.location()};
        other.sleepBetweenWakeUps(wakeUps);
        other.load();
        EXPECT_NE(wakeUps.listener(), nullptr);
    }
    EXPECT_EQ(wakeUps.listener(), nullptr);
}

}  // namespace
}  // namespace kivo
