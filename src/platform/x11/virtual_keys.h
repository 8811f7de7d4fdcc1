#pragma once

#include <X11/X.h>

#include <array>
#include <cstdint>

namespace kivo {

// Windows virtual-key codes of one key: a modifier is reported under its general code
// (Shift) and its left or right code (left Shift) both; other keys have one code. 0 is none.
using VirtualKeyCodes = std::array<std::uint8_t, 2>;

// The punctuation keys of US and UK layouts carry different codes on Windows.
enum class OemLayout : std::uint8_t { Us, Uk };

// The codes Windows gives the key producing this unshifted keysym; none for keys it cannot
// be sure of.
VirtualKeyCodes virtualKeysFor(KeySym keysym, OemLayout layout);

}  // namespace kivo
