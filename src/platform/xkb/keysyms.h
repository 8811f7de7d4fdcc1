#pragma once

#include "platform/key_string.h"

#include <xkbcommon/xkbcommon.h>

#include <array>
#include <vector>

namespace kivo {

xkb_keysym_t keysymFor(NamedKey key);

// The keys that hold the notation's Shift, Control and Alt, in the order they go down.
std::vector<xkb_keysym_t> modifierKeysyms(const KeyModifiers& modifiers);

// The keysym of each Windows-1252 byte; XKB_KEY_NoSymbol for the bytes that name no character.
class CharacterKeysyms {
public:
    CharacterKeysyms();
    xkb_keysym_t operator[](char character) const { return keysyms_[static_cast<unsigned char>(character)]; }

private:
    std::array<xkb_keysym_t, 256> keysyms_{};
};

}  // namespace kivo
