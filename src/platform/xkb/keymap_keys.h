#pragma once

#include <xkbcommon/xkbcommon.h>

#include <array>
#include <optional>
#include <vector>

namespace kivo {

// XKB keycodes on Linux are the kernel's evdev key codes plus 8.
inline constexpr unsigned kEvdevToXkb = 8;
// Only the keys an X server can have: keymaps also give keys past them characters (KEY_EURO),
// and a game has heard of none of them.
inline constexpr unsigned kKeycodes = 256;

// The evdev codes of keyboard keys, which the virtual keyboard offers. The button codes
// around them would make a compositor take it for a mouse or a joystick.
constexpr bool isKeyboardKeyCode(unsigned code)
{
    constexpr unsigned kFirstButton = 0x100;
    constexpr unsigned kFirstKeyAfterButtons = 0x160;
    constexpr unsigned kFirstTriggerButton = 0x2c0;
    return (code > 0 && code < kFirstButton) || (code >= kFirstKeyAfterButtons && code < kFirstTriggerButton);
}

// The keyboard keys of a keymap, by XKB keycode.
std::vector<xkb_keycode_t> keycodesOf(xkb_keymap* keymap);

// The evdev code of the key that holds each real modifier in a group; none where no key does.
using ModifierKeys = std::array<std::optional<unsigned>, 8>;
ModifierKeys modifierKeys(xkb_keymap* keymap, const std::vector<xkb_keycode_t>& keycodes, xkb_layout_index_t group);

// The keys (evdev codes) that select a level of a key in the group in use; none when every
// modifier mask of that level needs a modifier no key holds.
std::optional<std::vector<unsigned>> levelKeys(xkb_keymap* keymap, xkb_keycode_t keycode, xkb_layout_index_t group,
                                               xkb_level_index_t level, const ModifierKeys& modifiers);

// The one keysym a key types at a level while `group` is in use; NoSymbol for none or several.
xkb_keysym_t keysymAt(xkb_keymap* keymap, xkb_keycode_t keycode, xkb_layout_index_t group, xkb_level_index_t level);

// The number of levels a key has while `group` is in use.
xkb_level_index_t levelsOf(xkb_keymap* keymap, xkb_keycode_t keycode, xkb_layout_index_t group);

}  // namespace kivo
