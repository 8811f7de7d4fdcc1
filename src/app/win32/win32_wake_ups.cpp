#include "app/win32/win32_wake_ups.h"

#include <hidusage.h>

namespace kivo {
namespace {

constexpr unsigned kFirstJoystick = 0;
constexpr UINT kRawInputFailed = static_cast<UINT>(-1);
// Reports come while another window is in front, and so do arrivals and removals.
constexpr DWORD kJoystickFlags = RIDEV_INPUTSINK | RIDEV_DEVNOTIFY;

}  // namespace

std::vector<RAWINPUTDEVICE> Win32WakeUps::wantedDevices() const
{
    return {RAWINPUTDEVICE{HID_USAGE_PAGE_GENERIC, HID_USAGE_GENERIC_JOYSTICK, kJoystickFlags, nullptr},
            RAWINPUTDEVICE{HID_USAGE_PAGE_GENERIC, HID_USAGE_GENERIC_GAMEPAD, kJoystickFlags, nullptr}};
}

void Win32WakeUps::received(const RAWINPUT& report)
{
    if (const std::optional<DeviceIdentity> device = identify(report.header.hDevice))
        reported(*device);
    else
        wake();
}

void Win32WakeUps::reported(DeviceIdentity device)
{
    reporting_.insert(device);
    wake();
}

void Win32WakeUps::devicesChanged(WPARAM change, HANDLE device)
{
    if (change == GIDC_REMOVAL)
        devices_.erase(device);
    joystickIdentity_.reset();
    wake();
}

bool Win32WakeUps::armForNextChange()
{
    if (!joystickIdentity_) {
        JOYCAPS caps{};
        // Without a joystick there is nothing to read; one that arrives is announced.
        if (!joystick_.capabilities(kFirstJoystick, caps))
            return true;
        // winmm names a HID joystick by its vendor and product.
        joystickIdentity_ = DeviceIdentity{caps.wMid, caps.wPid};
    }
    return reporting_.contains(*joystickIdentity_);
}

std::optional<DeviceIdentity> Win32WakeUps::identify(HANDLE device)
{
    if (const auto known = devices_.find(device); known != devices_.end())
        return known->second;
    RID_DEVICE_INFO info{};
    info.cbSize = sizeof info;
    UINT size = sizeof info;
    if (GetRawInputDeviceInfoW(device, RIDI_DEVICEINFO, &info, &size) == kRawInputFailed || info.dwType != RIM_TYPEHID)
        return std::nullopt;
    const DeviceIdentity identity{static_cast<std::uint16_t>(info.hid.dwVendorId),
                                  static_cast<std::uint16_t>(info.hid.dwProductId)};
    devices_.emplace(device, identity);
    return identity;
}

}  // namespace kivo
