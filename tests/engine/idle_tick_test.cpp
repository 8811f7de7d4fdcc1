#include "engine/poll_engine.h"
#include "fakes/fake_input_services.h"
#include "fakes/memory_labels.h"

#include <gtest/gtest.h>

#include <optional>

namespace kivo {
namespace {

constexpr WindowHandle kKivoWindow = 0x4200001;
constexpr WindowHandle kGameWindow = 0x1e00007;
constexpr std::uint32_t kRest = 32700;

struct IdleCase {
    const char* what;
    std::optional<fakes::StickState> stick;
    WindowHandle inFront;
    bool idle;
};

// Run in order on one engine, so a tick's verdict cannot be left over from the one before.
TEST(IdleTick, OnlyARestingStickNoButtonAndAnotherWindowInFrontLeaveNothingToDo)
{
    fakes::FakeInputServices fake;
    fakes::MemoryLabels labels{4};
    SelectedButton selected;
    PollEngine engine{fake.services(), labels, selected, kKivoWindow};
    fake.joystick.state = fakes::StickState{kRest, kRest};
    engine.resetSelection();
    engine.readButtonCount();
    engine.captureRestPosition();

    const IdleCase cases[] = {
        {"at rest, the game in front", fakes::StickState{kRest, kRest}, kGameWindow, true},
        {"X beyond the dead zone", fakes::StickState{kRest + 2600, kRest}, kGameWindow, false},
        {"X on the edge of the dead zone", fakes::StickState{kRest + 2500, kRest - 2500}, kGameWindow, true},
        {"Y beyond the dead zone", fakes::StickState{kRest, kRest - 2600}, kGameWindow, false},
        {"a button held with none selected", fakes::StickState{kRest, kRest, 0b100, 3}, kGameWindow, false},
        {"at rest again", fakes::StickState{kRest, kRest}, kGameWindow, true},
        {"the D-pad held", fakes::StickState{kRest, kRest, 0, 0, 27000}, kGameWindow, false},
        {"the D-pad back at its centre", fakes::StickState{kRest, kRest, 0, 0, 65535}, kGameWindow, true},
        {"Kivo's window in front", fakes::StickState{kRest, kRest}, kKivoWindow, false},
        {"no joystick, the game in front", std::nullopt, kGameWindow, true},
        {"no joystick, Kivo's window in front", std::nullopt, kKivoWindow, false},
    };
    for (const IdleCase& c : cases) {
        fake.joystick.state = c.stick;
        fake.foreground.window = c.inFront;
        engine.tick();
        EXPECT_EQ(engine.idle(), c.idle) << c.what;
    }
}

}  // namespace
}  // namespace kivo
