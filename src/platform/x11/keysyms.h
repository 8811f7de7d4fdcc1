#pragma once

#include "platform/key_string.h"

#include <X11/X.h>

#include <array>

namespace kivo {

KeySym keysymFor(NamedKey key);

// The keysym of each Windows-1252 byte; NoSymbol for the bytes that name no character.
class CharacterKeysyms {
public:
    CharacterKeysyms();
    KeySym operator[](char character) const { return keysyms_[static_cast<unsigned char>(character)]; }

private:
    std::array<KeySym, 256> keysyms_{};
};

}  // namespace kivo
