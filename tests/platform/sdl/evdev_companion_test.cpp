#include "platform/sdl/evdev_companion.h"

#include <gtest/gtest.h>
#include <libevdev/libevdev.h>
#include <linux/input.h>

#include <initializer_list>
#include <memory>

namespace kivo {
namespace {

struct CompanionCase {
    const char* device;
    std::initializer_list<unsigned> keys;
    std::initializer_list<unsigned> properties;
    Companion companion;
};

// Each end of every range of joystick buttons counts, as does nothing outside them.
TEST(EvdevCompanion, ADeviceIsAJoystickByItsButtonsAndAPadsCompanionsByTheirProperties)
{
    const CompanionCase cases[] = {
        {"pad, south button", {BTN_SOUTH}, {}, Companion::None},
        {"pad, right stick's button", {BTN_THUMBR}, {}, Companion::None},
        {"pad, select", {BTN_SELECT}, {}, Companion::None},
        {"joystick, trigger", {BTN_TRIGGER}, {}, Companion::None},
        {"joystick, last button", {BTN_DEAD}, {}, Companion::None},
        {"numbered button 0", {BTN_0}, {}, Companion::None},
        {"numbered button 9", {BTN_9}, {}, Companion::None},
        {"first extra button", {BTN_TRIGGER_HAPPY1}, {}, Companion::None},
        {"last extra button", {BTN_TRIGGER_HAPPY40}, {}, Companion::None},
        {"keyboard", {KEY_A, KEY_ENTER}, {}, Companion::NoJoystickButtons},
        {"mouse", {BTN_LEFT, BTN_RIGHT}, {}, Companion::NoJoystickButtons},
        {"wheel's D-pad alone", {BTN_DPAD_UP}, {}, Companion::NoJoystickButtons},
        {"pad's motion sensors", {}, {INPUT_PROP_ACCELEROMETER}, Companion::MotionSensors},
        {"pad's touchpad", {BTN_TOOL_FINGER, BTN_LEFT}, {}, Companion::Touchpad},
        {"pointer with a south button", {BTN_SOUTH}, {INPUT_PROP_POINTER}, Companion::Touchpad},
    };
    for (const auto& c : cases) {
        const std::unique_ptr<libevdev, decltype(&libevdev_free)> device(libevdev_new(), libevdev_free);
        for (const unsigned key : c.keys)
            libevdev_enable_event_code(device.get(), EV_KEY, key, nullptr);
        for (const unsigned property : c.properties)
            libevdev_enable_property(device.get(), property);
        EXPECT_EQ(evdevCompanion(device.get()), c.companion) << c.device;
    }
}

}  // namespace
}  // namespace kivo
