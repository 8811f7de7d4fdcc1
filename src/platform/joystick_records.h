#pragma once

#include <cstdint>

namespace kivo {

// The joystick records keep the field names, order and sizes of the Windows multimedia
// joystick interface, so the engine's arithmetic is the same on every platform.

// Position record: thirteen 32-bit fields.
struct JOYINFOEX {
    std::uint32_t dwSize;
    std::uint32_t dwFlags;
    std::uint32_t dwXpos;
    std::uint32_t dwYpos;
    std::uint32_t dwZpos;
    std::uint32_t dwRpos;
    std::uint32_t dwUpos;
    std::uint32_t dwVpos;
    std::uint32_t dwButtons;
    std::uint32_t dwButtonNumber;
    std::uint32_t dwPOV;
    std::uint32_t dwReserved1;
    std::uint32_t dwReserved2;
};
static_assert(sizeof(JOYINFOEX) == 52);

inline constexpr std::uint32_t kJoyInfoExSize = sizeof(JOYINFOEX);
// Flags value asking for every field of the position record.
inline constexpr std::uint32_t kJoyReturnAll = 255;

inline constexpr int kJoyNameLength = 32;

// Capability record with 8-bit characters, ending after the registry-key name.
struct JOYCAPS {
    std::uint16_t wMid;
    std::uint16_t wPid;
    char szPname[kJoyNameLength];
    std::uint32_t wXmin;
    std::uint32_t wXmax;
    std::uint32_t wYmin;
    std::uint32_t wYmax;
    std::uint32_t wZmin;
    std::uint32_t wZmax;
    std::uint32_t wNumButtons;
    std::uint32_t wPeriodMin;
    std::uint32_t wPeriodMax;
    std::uint32_t wRmin;
    std::uint32_t wRmax;
    std::uint32_t wUmin;
    std::uint32_t wUmax;
    std::uint32_t wVmin;
    std::uint32_t wVmax;
    std::uint32_t wCaps;
    std::uint32_t wMaxAxes;
    std::uint32_t wNumAxes;
    std::uint32_t wMaxButtons;
    char szRegKey[kJoyNameLength];
};
static_assert(sizeof(JOYCAPS) == 144);

}  // namespace kivo
