#include "app/win32/win32_wake_ups.h"

#include "fakes/fake_input_services.h"

#include <gtest/gtest.h>

#include <optional>
#include <tuple>
#include <vector>

namespace kivo {
namespace {

constexpr DeviceIdentity kPad{0x045e, 0x028e};
constexpr DeviceIdentity kOtherPad{0x054c, 0x09cc};

struct SleepCase {
    const char* what;
    // The joystick winmm reads; nullopt for none.
    std::optional<DeviceIdentity> joystick;
    std::vector<DeviceIdentity> reportedThroughRawInput;
    // winmm's joystick after a device arrived.
    std::optional<DeviceIdentity> joystickAfterArrival;
    bool armed;
};

TEST(Win32WakeUps, SleepOnlyOnAJoystickSeenReportingThroughRawInput)
{
    const SleepCase cases[] = {
        {"no joystick", std::nullopt, {}, std::nullopt, true},
        {"the joystick reported", kPad, {kPad}, std::nullopt, true},
        {"the joystick never reported", kPad, {}, std::nullopt, false},
        {"only another device reported", kPad, {kOtherPad}, std::nullopt, false},
        {"a joystick that never reported took its place", kPad, {kPad}, kOtherPad, false},
    };
    for (const SleepCase& c : cases) {
        fakes::FakeJoystick joystick;
        const auto plug = [&joystick](std::optional<DeviceIdentity> device) {
            joystick.buttonCount = device ? std::optional<std::uint32_t>(4) : std::nullopt;
            joystick.maker = device ? device->vendor : 0;
            joystick.product = device ? device->product : 0;
        };
        plug(c.joystick);
        Win32WakeUps wakeUps(joystick);
        for (const DeviceIdentity& device : c.reportedThroughRawInput)
            wakeUps.reported(device);
        if (c.joystickAfterArrival) {
            ASSERT_TRUE(wakeUps.armForNextChange()) << c.what;
            plug(c.joystickAfterArrival);
            wakeUps.devicesChanged(GIDC_ARRIVAL, nullptr);
        }
        EXPECT_EQ(wakeUps.armForNextChange(), c.armed) << c.what;
    }
}

// Generic desktop page (1): joystick (4) and game pad (5); on another page no pad ever reports
// and Kivo polls every millisecond.
TEST(Win32WakeUps, AsksRawInputForJoysticksAndGamePadsEvenInTheBackground)
{
    fakes::FakeJoystick joystick;
    std::vector<std::tuple<USHORT, USHORT, DWORD>> asked;
    for (const RAWINPUTDEVICE& device : Win32WakeUps(joystick).wantedDevices())
        asked.emplace_back(device.usUsagePage, device.usUsage, device.dwFlags);
    constexpr DWORD kBackground = RIDEV_INPUTSINK | RIDEV_DEVNOTIFY;
    EXPECT_EQ(asked, (std::vector<std::tuple<USHORT, USHORT, DWORD>>{{1, 4, kBackground}, {1, 5, kBackground}}));
}

}  // namespace
}  // namespace kivo
