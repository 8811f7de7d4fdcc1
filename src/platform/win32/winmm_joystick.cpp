#include "platform/win32/win32_backends.h"

#include <windows.h>
// mmsystem.h needs the types windows.h declares.
#include <mmsystem.h>

#include <cstddef>
#include <cstring>

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

class WinmmJoystick final : public Joystick {
public:
    bool capabilities(unsigned deviceId, JOYCAPS& caps) override
    {
        // winmm writes no more than it is told, into a record of its own full size.
        ::JOYCAPSA answer{};
        const MMRESULT result = joyGetDevCapsA(deviceId, &answer, sizeof(JOYCAPS));
        std::memcpy(&caps, &answer, sizeof(JOYCAPS));
        return result == JOYERR_NOERROR;
    }

    bool position(unsigned deviceId, JOYINFOEX& info) override
    {
        ::JOYINFOEX answer;
        std::memcpy(&answer, &info, sizeof(answer));
        if (joyGetPosEx(deviceId, &answer) != JOYERR_NOERROR) {
            return false;
        }
        std::memcpy(&info, &answer, sizeof(info));
        return true;
    }
};

}  // namespace

std::unique_ptr<Joystick> makeWinmmJoystick()
{
    return std::make_unique<WinmmJoystick>();
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
