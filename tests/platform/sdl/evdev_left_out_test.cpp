#include "platform/sdl/evdev_left_out.h"

#include <gtest/gtest.h>
#include <libevdev/libevdev.h>
#include <linux/input.h>

#include <initializer_list>
#include <memory>

namespace kivo {
namespace {

struct LeftOutCase {
    const char* device;
    std::initializer_list<unsigned> keys;
    std::initializer_list<unsigned> properties;
    LeftOut leftOut;
};

// Each end of every range of joystick buttons counts, as does nothing outside them.
TEST(EvdevLeftOut, ADeviceIsAJoystickByItsButtonsAndAPadsCompanionsByTheirProperties)
{
    const LeftOutCase cases[] = {
        {"pad, south button", {BTN_SOUTH}, {}, LeftOut::No},
        {"pad, right stick's button", {BTN_THUMBR}, {}, LeftOut::No},
        {"pad, select", {BTN_SELECT}, {}, LeftOut::No},
        {"joystick, trigger", {BTN_TRIGGER}, {}, LeftOut::No},
        {"joystick, last button", {BTN_DEAD}, {}, LeftOut::No},
        {"numbered button 0", {BTN_0}, {}, LeftOut::No},
        {"numbered button 9", {BTN_9}, {}, LeftOut::No},
        {"first extra button", {BTN_TRIGGER_HAPPY1}, {}, LeftOut::No},
        {"last extra button", {BTN_TRIGGER_HAPPY40}, {}, LeftOut::No},
        {"keyboard", {KEY_A, KEY_ENTER}, {}, LeftOut::NoJoystickButtons},
        {"mouse", {BTN_LEFT, BTN_RIGHT}, {}, LeftOut::NoJoystickButtons},
        {"wheel's D-pad alone", {BTN_DPAD_UP}, {}, LeftOut::NoJoystickButtons},
        {"pad's motion sensors", {}, {INPUT_PROP_ACCELEROMETER}, LeftOut::MotionSensors},
        {"pad's touchpad", {BTN_TOOL_FINGER, BTN_LEFT}, {}, LeftOut::Touchpad},
        {"pointer with a south button", {BTN_SOUTH}, {INPUT_PROP_POINTER}, LeftOut::Touchpad},
    };
    for (const auto& c : cases) {
        const std::unique_ptr<libevdev, decltype(&libevdev_free)> device(libevdev_new(), libevdev_free);
        for (const unsigned key : c.keys)
            libevdev_enable_event_code(device.get(), EV_KEY, key, nullptr);
        for (const unsigned property : c.properties)
            libevdev_enable_property(device.get(), property);
        EXPECT_EQ(evdevLeftOut(device.get()), c.leftOut) << c.device;
    }
}

}  // namespace
}  // namespace kivo
