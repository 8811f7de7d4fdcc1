#pragma once

#include <xkbcommon/xkbcommon.h>

#include <array>
#include <cstdint>
#include <span>

namespace kivo {

// Windows virtual-key codes of one key: a modifier is reported under its general code
// (Shift) and its left or right code (left Shift) both; other keys have one code. 0 is none.
using VirtualKeyCodes = std::array<std::uint8_t, 2>;

// The punctuation keys of US and UK layouts carry different codes on Windows.
enum class OemLayout : std::uint8_t { Us, Uk };

// The codes Windows gives the key producing this unshifted keysym; none for keys it cannot
// be sure of.
VirtualKeyCodes virtualKeysFor(xkb_keysym_t keysym, OemLayout layout);

// Which punctuation codes a layout's keys get, by what its keys type without Shift.
OemLayout oemLayoutOf(std::span<const xkb_keysym_t> unshifted);

// The codes of one key with Num Lock off and on, by what it types on its first two levels.
struct KeyVirtualKeys {
    VirtualKeyCodes numLockOff;
    VirtualKeyCodes numLockOn;
};
KeyVirtualKeys virtualKeysOfKey(xkb_keysym_t firstLevel, xkb_keysym_t secondLevel, OemLayout layout);

}  // namespace kivo
