#include "platform/joystick_choice.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace kivo {
namespace {

// Shaped as SDL finds a DualShock 4 and an Xbox 360 pad, the pad's companions first.
const std::vector<FoundJoystick> kFound = {
    {"Wireless Controller Motion Sensors", 0, "/dev/input/event5", LeftOut::MotionSensors},
    {"Wireless Controller Touchpad", 1, "/dev/input/event6", LeftOut::Touchpad},
    {"Wireless Controller", 13, "/dev/input/event4", LeftOut::No},
    {"Gaming Keyboard", 100, "/dev/input/event2", LeftOut::NoJoystickButtons},
    {"Microsoft X-Box 360 pad", 11, "/dev/input/event9", LeftOut::No},
};

struct ChoiceCase {
    const char* option;
    std::optional<std::size_t> used;
};

TEST(JoystickChoice, TakesTheChosenOrTheFirstJoystickAndNeverACompanion)
{
    const ChoiceCase cases[] = {
        {nullptr, 2},
        {"1", 2},
        {"2", 4},
        {"3", std::nullopt},
        {"x-box", 4},
        {"PAD", 4},
        {"controller", 2},
        {"motion", std::nullopt},
        {"touchpad", std::nullopt},
        {"keyboard", std::nullopt},
    };
    for (const auto& c : cases) {
        const JoystickChoice choice = c.option != nullptr ? *readJoystickChoice(c.option) : JoystickChoice{};
        EXPECT_EQ(chooseJoystick(kFound, choice), c.used) << (c.option != nullptr ? c.option : "none");
    }
    EXPECT_EQ(chooseJoystick({kFound[0], kFound[1]}, {}), std::nullopt) << "companions alone";
}

TEST(JoystickChoice, ListNumbersTheJoysticksSaysWhichIsUsedAndWhyTheOthersAreLeftOut)
{
    EXPECT_EQ(
        joystickList(kFound, *readJoystickChoice("x-box")),
        "Left out: Wireless Controller Motion Sensors, 0 buttons, /dev/input/event5 (a pad's motion sensors, not a "
        "joystick)\n"
        "Left out: Wireless Controller Touchpad, 1 buttons, /dev/input/event6 (a touchpad, not a joystick)\n"
        "Joystick 1: Wireless Controller, 13 buttons, /dev/input/event4\n"
        "Left out: Gaming Keyboard, 100 buttons, /dev/input/event2 (it has no joystick button, not a joystick)\n"
        "Joystick 2: Microsoft X-Box 360 pad, 11 buttons, /dev/input/event9 (Kivo uses this one: --joystick x-box)\n");
    const std::string first = joystickList(kFound, {});
    EXPECT_NE(first.find("Joystick 1: Wireless Controller, 13 buttons, /dev/input/event4 (Kivo uses this one: the "
                         "first joystick)\n"),
              std::string::npos)
        << first;
    EXPECT_TRUE(joystickList(kFound, {3, ""}).ends_with("No joystick matches --joystick 3; Kivo waits for one.\n"));
    EXPECT_TRUE(joystickList({kFound[0]}, {}).ends_with("No joystick found; Kivo waits for one.\n"));
    EXPECT_EQ(joystickList({}, {}), "No joystick found.\n");
}

}  // namespace
}  // namespace kivo
