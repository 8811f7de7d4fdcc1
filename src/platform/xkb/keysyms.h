#pragma once

#include "platform/key_string.h"

#include <xkbcommon/xkbcommon.h>

#include <array>
#include <string>
#include <vector>

namespace kivo {

xkb_keysym_t keysymFor(NamedKey key);

// The keys that hold the notation's Shift, Control and Alt, in the order they go down.
std::vector<xkb_keysym_t> modifierKeysyms(const KeyModifiers& modifiers);

// The keysym of each Windows-1252 byte; XKB_KEY_NoSymbol for the bytes the code page leaves undefined.
class CharacterKeysyms {
public:
    CharacterKeysyms();
    xkb_keysym_t operator[](char character) const { return keysyms_[static_cast<unsigned char>(character)]; }

private:
    std::array<xkb_keysym_t, 256> keysyms_{};
};

// Types a stroke by keysyms: holds its modifiers with `hold`, then types its key with `type`,
// which returns why it could not, or nothing. Returns why the stroke could not be typed.
template <typename Hold, typename Type>
std::string typeByKeysyms(const KeyStroke& stroke, const CharacterKeysyms& characters, Hold hold, Type type)
{
    for (const xkb_keysym_t keysym : modifierKeysyms(stroke.modifiers)) {
        hold(keysym);
    }
    if (stroke.kind == KeyStroke::Kind::ModifiersOnly) {
        return {};
    }
    const xkb_keysym_t keysym =
        stroke.kind == KeyStroke::Kind::Named ? keysymFor(stroke.key) : characters[stroke.character];
    if (keysym == XKB_KEY_NoSymbol) {
        return "no keysym stands for character " + std::to_string(static_cast<unsigned char>(stroke.character));
    }
    return type(keysym);
}

}  // namespace kivo
