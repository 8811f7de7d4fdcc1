#include "e2e/win32/scripted_joystick.h"

#include <cstring>

namespace kivo::e2e {
namespace {

constexpr std::uint32_t kAxisMax = 65535;
constexpr std::uint32_t kMaxButtons = 32;

}  // namespace

ScriptedJoystick::ScriptedJoystick(int buttons, std::uint32_t restX, std::uint32_t restY)
    : buttons_(buttons), x_(restX), y_(restY)
{
}

bool ScriptedJoystick::capabilities(unsigned deviceId, JOYCAPS& caps)
{
    const std::lock_guard lock(mutex_);
    if (deviceId != 0 || !plugged_)
        return false;
    caps.wMid = kIdentity.vendor;
    caps.wPid = kIdentity.product;
    std::strncpy(caps.szPname, "Kivo scripted joystick", sizeof caps.szPname - 1);
    caps.wXmax = kAxisMax;
    caps.wYmax = kAxisMax;
    caps.wNumButtons = static_cast<std::uint32_t>(buttons_);
    caps.wMaxButtons = kMaxButtons;
    caps.wNumAxes = 2;
    caps.wMaxAxes = 2;
    return true;
}

bool ScriptedJoystick::position(unsigned deviceId, JOYINFOEX& info)
{
    const std::lock_guard lock(mutex_);
    if (deviceId != 0 || !plugged_)
        return false;
    info.dwXpos = x_;
    info.dwYpos = y_;
    info.dwButtons = pressed_;
    // The lowest button held, numbered from 1, as winmm reports it.
    info.dwButtonNumber = 0;
    for (int button = 0; button < buttons_ && info.dwButtonNumber == 0; ++button) {
        if ((pressed_ >> button) & 1U)
            info.dwButtonNumber = static_cast<std::uint32_t>(button + 1);
    }
    info.dwPOV = pov_;
    return true;
}

void ScriptedJoystick::moveTo(std::uint32_t x, std::uint32_t y)
{
    const std::lock_guard lock(mutex_);
    x_ = x;
    y_ = y;
}

void ScriptedJoystick::pointDpad(std::uint32_t pov)
{
    const std::lock_guard lock(mutex_);
    pov_ = pov;
}

void ScriptedJoystick::setButton(int fromOne, bool down)
{
    const std::lock_guard lock(mutex_);
    const std::uint32_t bit = 1U << (fromOne - 1);
    pressed_ = down ? pressed_ | bit : pressed_ & ~bit;
}

void ScriptedJoystick::setPlugged(bool plugged)
{
    const std::lock_guard lock(mutex_);
    plugged_ = plugged;
}

}  // namespace kivo::e2e
