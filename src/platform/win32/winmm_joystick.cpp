#include "platform/win32/win32_backends.h"
#include "platform/win32/winmm_calls.h"

#include <cstddef>
#include <cstring>
#include <utility>

namespace kivo {
namespace {

// The portable records are winmm's own, field for field; the capability record stops
// after the registry-key name, which is all the size winmm is told.
static_assert(sizeof(JOYINFOEX) == sizeof(::JOYINFOEX));
static_assert(offsetof(JOYINFOEX, dwButtons) == offsetof(::JOYINFOEX, dwButtons));
static_assert(offsetof(JOYINFOEX, dwButtonNumber) == offsetof(::JOYINFOEX, dwButtonNumber));
static_assert(offsetof(JOYINFOEX, dwReserved2) == offsetof(::JOYINFOEX, dwReserved2));
static_assert(offsetof(JOYCAPS, wNumButtons) == offsetof(::JOYCAPSA, wNumButtons));
static_assert(offsetof(JOYCAPS, wMaxButtons) == offsetof(::JOYCAPSA, wMaxButtons));
static_assert(offsetof(JOYCAPS, szRegKey) == offsetof(::JOYCAPSA, szRegKey));
static_assert(sizeof(JOYCAPS) == offsetof(::JOYCAPSA, szRegKey) + sizeof(::JOYCAPSA::szRegKey));

class SystemWinmm final : public WinmmCalls {
public:
    MMRESULT getDevCaps(UINT deviceId, ::JOYCAPSA* caps, UINT size) override
    {
        return joyGetDevCapsA(deviceId, caps, size);
    }
    MMRESULT getPosEx(UINT deviceId, ::JOYINFOEX* info) override { return joyGetPosEx(deviceId, info); }
};

class WinmmJoystick final : public Joystick {
public:
    explicit WinmmJoystick(std::unique_ptr<WinmmCalls> calls) : calls_(std::move(calls)) {}

    bool capabilities(unsigned deviceId, JOYCAPS& caps) override
    {
        // winmm writes no more than it is told, into a record of its own full size.
        ::JOYCAPSA answer{};
        const MMRESULT result = calls_->getDevCaps(deviceId, &answer, sizeof(JOYCAPS));
        std::memcpy(&caps, &answer, sizeof(JOYCAPS));
        return result == JOYERR_NOERROR;
    }

    bool position(unsigned deviceId, JOYINFOEX& info) override
    {
        ::JOYINFOEX answer;
        std::memcpy(&answer, &info, sizeof(answer));
        if (calls_->getPosEx(deviceId, &answer) != JOYERR_NOERROR) {
            return false;
        }
        std::memcpy(&info, &answer, sizeof(info));
        return true;
    }

private:
    std::unique_ptr<WinmmCalls> calls_;
};

}  // namespace

std::unique_ptr<Joystick> makeWinmmJoystick(std::unique_ptr<WinmmCalls> calls)
{
    return std::make_unique<WinmmJoystick>(std::move(calls));
}

std::unique_ptr<Joystick> makeWinmmJoystick()
{
    return makeWinmmJoystick(std::make_unique<SystemWinmm>());
}

std::string listWinmmJoysticks()
{
    std::string list;
    for (UINT id = 0; id < joyGetNumDevs(); ++id) {
        ::JOYCAPSA caps{};
        ::JOYINFOEX position{};
        position.dwSize = sizeof position;
        position.dwFlags = JOY_RETURNALL;
        if (joyGetDevCapsA(id, &caps, sizeof caps) != JOYERR_NOERROR || joyGetPosEx(id, &position) != JOYERR_NOERROR)
            continue;
        list += "Joystick " + std::to_string(id + 1) + ": " + caps.szPname + ", " + std::to_string(caps.wNumButtons) +
                " buttons" + (id == 0 ? " (Kivo uses this one)" : "") + "\n";
    }
    return list.empty() ? "No joystick found.\n" : list;
}

}  // namespace kivo
