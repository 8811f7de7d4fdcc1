#pragma once

#include "platform/input_services.h"

#include <windows.h>
// mmsystem.h needs the types windows.h declares.
#include <mmsystem.h>

#include <memory>

namespace kivo {

// The winmm calls the joystick makes, so that tests see what goes in and what comes back.
class WinmmCalls {
public:
    virtual ~WinmmCalls() = default;
    virtual MMRESULT getDevCaps(UINT deviceId, ::JOYCAPSA* caps, UINT size) = 0;
    virtual MMRESULT getPosEx(UINT deviceId, ::JOYINFOEX* info) = 0;
};

std::unique_ptr<Joystick> makeWinmmJoystick(std::unique_ptr<WinmmCalls> calls);

}  // namespace kivo
