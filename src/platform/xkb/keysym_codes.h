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

// A UK-style layout types "#" without Shift; a US one needs Shift for it.
OemLayout oemLayoutOf(std::span<const xkb_keysym_t> unshifted);

// The codes Windows gives the key producing this unshifted keysym; none for keys it cannot
// be sure of.
VirtualKeyCodes virtualKeysFor(xkb_keysym_t keysym, OemLayout layout);

// False where the key-name table's token for the key's code is another character, which another
// key types: the table names 192 and 222 as a UK keyboard has them.
bool tableNamesKeysym(xkb_keysym_t keysym, OemLayout layout);

}  // namespace kivo
