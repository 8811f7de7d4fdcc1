#pragma once

#include "platform/held_keys.h"
#include "platform/key_string.h"
#include "platform/xkb/keysyms.h"
#include "platform/xkb/xkb_layout.h"

#include <string>

namespace kivo {

// Types a stroke on the layout in use, by evdev codes: a character on the key that types it
// there, with the keys of its level (Shift, AltGr) held around it, a key named by its place on
// that place. A character no key of the layout types is refused, on every edge alike: a key
// remapped for it would be one no game has heard of. Returns why the stroke was not typed.
std::string typeOnLayout(const XkbLayout& layout, const KeyStroke& stroke, const CharacterKeysyms& characters,
                         HeldKeys& held);

}  // namespace kivo
