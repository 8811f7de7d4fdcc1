#pragma once

#include "platform/input_services.h"
#include "platform/wake_ups.h"
#include "platform/win32/raw_input.h"

#include <compare>
#include <cstdint>
#include <map>
#include <optional>
#include <set>

namespace kivo {

// A HID device as raw input and winmm both name it.
struct DeviceIdentity {
    std::uint16_t vendor = 0;
    std::uint16_t product = 0;
    auto operator<=>(const DeviceIdentity&) const = default;
};

// Wakes the window for every report of a joystick or game pad and for devices coming and going,
// from the window's raw input. Raw input reports even while another window is in front, and
// leaves the device to winmm and the game. The window coming to the front wakes it through its
// activation.
class Win32WakeUps final : public WakeUpSource, public RawInputConsumer {
public:
    explicit Win32WakeUps(Joystick& joystick) : joystick_(joystick) {}

    // The device sent a report through raw input. Called on the window's thread.
    void reported(DeviceIdentity device);
    // For the window's WM_INPUT_DEVICE_CHANGE: `change` is GIDC_ARRIVAL or GIDC_REMOVAL.
    void devicesChanged(WPARAM change, HANDLE device);

    std::vector<RAWINPUTDEVICE> wantedDevices() const override;
    DWORD reportType() const override { return RIM_TYPEHID; }
    void received(const RAWINPUT& report) override;

    // Only a joystick that has been seen reporting through raw input can be slept on: one that
    // winmm reads but raw input does not report (an old driver, a pad only XInput knows) would
    // never wake Kivo.
    bool armForNextChange() override;

private:
    std::optional<DeviceIdentity> identify(HANDLE device);

    Joystick& joystick_;
    std::map<HANDLE, DeviceIdentity> devices_;
    std::set<DeviceIdentity> reporting_;
    // winmm's first joystick, until a device comes or goes.
    std::optional<DeviceIdentity> joystickIdentity_;
};

}  // namespace kivo
