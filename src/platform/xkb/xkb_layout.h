#pragma once

#include "platform/xkb/virtual_keys.h"

#include <xkbcommon/xkbcommon.h>

#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace kivo {

// The evdev codes of keyboard keys, which the virtual keyboard offers. The button codes
// around them would make a compositor take it for a mouse or a joystick.
constexpr bool isKeyboardKeyCode(unsigned code)
{
    constexpr unsigned kFirstButton = 0x100;
    constexpr unsigned kFirstKeyAfterButtons = 0x160;
    constexpr unsigned kFirstTriggerButton = 0x2c0;
    return (code > 0 && code < kFirstButton) || (code >= kFirstKeyAfterButtons && code < kFirstTriggerButton);
}

// Where a keysym is typed: the evdev code of its key, the keys that select its level
// (Shift, AltGr), to be held around it, and whether it is a dead key's character, which the
// key types only when pressed twice.
struct KeyPlacement {
    unsigned code = 0;
    std::vector<unsigned> levelKeys;
    bool dead = false;

    bool operator==(const KeyPlacement&) const = default;
};

// What Kivo needs of a keymap in the group the user has in use, read from it once, so lookups
// on every tick cost nothing: where each keysym is typed, and the virtual-key codes of each key.
// Both Linux edges read their keymap into it: the X server's and the compositor's.
class XkbLayout {
public:
    // Places nothing.
    XkbLayout() = default;
    XkbLayout(xkb_keymap* keymap, xkb_layout_index_t group);
    // The keymap that rule names give (from the XKB_DEFAULT_* environment where a name is
    // empty, as compositors do); nullopt when xkeyboard-config has no such layout.
    static std::optional<XkbLayout> fromNames(const std::string& layout, const std::string& variant = {},
                                              xkb_layout_index_t group = 0);

    // Lower levels first, so a keysym on two keys is typed with the fewer modifiers, dead keys
    // before AltGr; none when no key of the group in use types it.
    std::optional<KeyPlacement> find(xkb_keysym_t keysym) const;
    // By XKB keycode.
    const VirtualKeyTable& virtualKeys() const { return virtualKeys_; }

    // The group in use after a key typed this keysym: `current` when the key types it there,
    // else the first group in which it does; `current` when none does.
    static xkb_layout_index_t groupTyping(xkb_keymap* keymap, xkb_keycode_t keycode, xkb_keysym_t keysym,
                                          xkb_layout_index_t current);

    // Modifier bits of Caps Lock and Num Lock in the keymap's masks; 0 when it has none.
    xkb_mod_mask_t capsLockMask() const { return capsLockMask_; }
    xkb_mod_mask_t numLockMask() const { return numLockMask_; }

private:
    std::unordered_map<xkb_keysym_t, KeyPlacement> placements_;
    VirtualKeyTable virtualKeys_;
    xkb_mod_mask_t capsLockMask_ = 0;
    xkb_mod_mask_t numLockMask_ = 0;
};

}  // namespace kivo
