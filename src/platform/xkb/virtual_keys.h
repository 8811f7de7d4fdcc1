#pragma once

#include "platform/input_services.h"
#include "platform/key_records.h"
#include "platform/xkb/keymap_keys.h"
#include "platform/xkb/keysym_codes.h"

#include <xkbcommon/xkbcommon.h>

#include <array>
#include <bitset>
#include <cstdint>
#include <span>
#include <string>

namespace kivo {

// What the keys of one layout are called. Every key gets codes: those Windows would give it
// where the key-name table names it right, and otherwise a code of its own whose token is its
// record's (what it types, or its place). Keys typing another character with AltGr held get a
// code for that too.
class VirtualKeyTable {
public:
    // By XKB keycode: each key's record, and the keysyms of its first two levels, the second
    // being the keypad's digits, which Num Lock selects.
    struct Keys {
        std::span<const KeyRecord> records;
        std::span<const xkb_keysym_t> unshifted;
        std::span<const xkb_keysym_t> secondLevel;
    };

    VirtualKeyTable() = default;
    explicit VirtualKeyTable(const Keys& keys);

    // Sets the down bit of every code of the keycodes that are down; a key down without any
    // code, or held with AltGr where no token names what it types, is told once on standard
    // error, as `told` remembers.
    void markDown(KeyboardState& keys, const std::bitset<kKeycodes>& down, bool numLockOn,
                  std::bitset<kKeycodes>& told) const;
    // The token this layout gives a code; empty where the key-name table's stands.
    const std::string& token(std::uint8_t code) const { return tokens_[code]; }

private:
    // The code of a token, given one of the codes no key of the layout has; 0 when none is left.
    std::uint8_t codeFor(const std::string& token, const std::bitset<kKeycodes>& used);

    std::array<VirtualKeyCodes, kKeycodes> numLockOff_{};
    std::array<VirtualKeyCodes, kKeycodes> numLockOn_{};
    std::array<std::uint8_t, kKeycodes> levelThree_{};
    std::array<std::uint8_t, kKeycodes> levelFour_{};
    std::array<xkb_keysym_t, kKeycodes> keysyms_{};
    std::array<std::string, kKeycodes> tokens_;
    // Keys typing with AltGr (and Shift) a character no token names.
    std::bitset<kKeycodes> levelThreeUnnamed_;
    std::bitset<kKeycodes> levelFourUnnamed_;
    std::bitset<kKeycodes> levelThreeShifts_;
    std::bitset<kKeycodes> shifts_;
};

}  // namespace kivo
