#pragma once

#include "platform/input_services.h"

#include <xkbcommon/xkbcommon.h>

#include <array>
#include <bitset>
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

// The codes of the keycodes of one layout, with Num Lock off and on.
class VirtualKeyTable {
public:
    static constexpr std::size_t kKeycodes = 256;

    VirtualKeyTable() = default;
    // By what keycode first + i types on its first two levels: unshifted[i] and secondLevel[i].
    VirtualKeyTable(std::span<const xkb_keysym_t> unshifted, std::span<const xkb_keysym_t> secondLevel, unsigned first);

    // Sets the down bit of every code of the keycodes that are down.
    void markDown(KeyboardState& keys, const std::bitset<kKeycodes>& down, bool numLockOn) const;

private:
    std::array<VirtualKeyCodes, kKeycodes> numLockOff_{};
    std::array<VirtualKeyCodes, kKeycodes> numLockOn_{};
};

}  // namespace kivo
