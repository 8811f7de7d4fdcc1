#pragma once

#include "platform/key_string.h"

#include <xkbcommon/xkbcommon.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kivo {

xkb_keysym_t keysymFor(NamedKey key);

// The keys that hold the notation's Shift, Control and Alt, in the order they go down.
std::vector<xkb_keysym_t> modifierKeysyms(const KeyModifiers& modifiers);

// The character a dead key stands for, as typing it twice gives it: dead_circumflex "^".
// NoSymbol for other keysyms and for dead keys without a Windows-1252 character.
xkb_keysym_t spacingKeysymOf(xkb_keysym_t deadKeysym);

// Places on the keyboard: the kernel's evdev key code of a set 1 scan code and back, for the
// keys that type characters; nothing for the others.
std::optional<unsigned> evdevOfScanCode(std::uint16_t scanCode);
std::optional<std::uint16_t> scanCodeOfEvdev(unsigned evdev);

}  // namespace kivo
