#pragma once

#include "platform/key_string.h"

#include <xkbcommon/xkbcommon.h>

#include <array>
#include <cstdint>
#include <optional>
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

// The character a dead key stands for, as typing it twice gives it: dead_circumflex "^".
// NoSymbol for other keysyms and for dead keys without a Windows-1252 character.
xkb_keysym_t spacingKeysymOf(xkb_keysym_t deadKeysym);

// The token of a key that types this keysym where the key-name table has no name for it
// (characterToken of its character); empty when Windows-1252 lacks it.
std::string keysymToken(xkb_keysym_t keysym);

// Places on the keyboard: the kernel's evdev key code of a set 1 scan code and back, for the
// keys that type characters; nothing for the others.
std::optional<unsigned> evdevOfScanCode(std::uint16_t scanCode);
std::optional<std::uint16_t> scanCodeOfEvdev(unsigned evdev);

// Types a stroke by keysyms: holds its modifiers with `hold`, then types its key with `type`,
// or, for a key named by its place, with `typeAt` and the key's evdev code; both return why
// they could not, or nothing. Returns why the stroke could not be typed.
template <typename Hold, typename Type, typename TypeAt>
std::string typeByKeysyms(const KeyStroke& stroke, const CharacterKeysyms& characters, Hold hold, Type type,
                          TypeAt typeAt)
{
    for (const xkb_keysym_t keysym : modifierKeysyms(stroke.modifiers)) {
        hold(keysym);
    }
    if (stroke.kind == KeyStroke::Kind::ModifiersOnly) {
        return {};
    }
    if (stroke.kind == KeyStroke::Kind::ScanCode) {
        const std::optional<unsigned> evdev = evdevOfScanCode(stroke.scanCode);
        return evdev ? typeAt(*evdev)
                     : "no key of a Linux keyboard sits at scan code " + scanCodeToken(stroke.scanCode);
    }
    const xkb_keysym_t keysym =
        stroke.kind == KeyStroke::Kind::Named ? keysymFor(stroke.key) : characters[stroke.character];
    if (keysym == XKB_KEY_NoSymbol) {
        return "no keysym stands for character " + std::to_string(static_cast<unsigned char>(stroke.character));
    }
    return type(keysym);
}

}  // namespace kivo
