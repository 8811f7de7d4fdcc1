#pragma once

#include "platform/key_records.h"
#include "platform/xkb/keymap_keys.h"
#include "platform/xkb/virtual_keys.h"

#include <xkbcommon/xkbcommon.h>

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

namespace kivo {

// Where a key is typed: its evdev code, the keys that select its level (Shift, AltGr), to be
// held around it, and whether it is a dead key's character, which the key types only when
// pressed twice.
struct KeyPlacement {
    unsigned code = 0;
    std::vector<unsigned> levelKeys;
    bool dead = false;

    bool operator==(const KeyPlacement&) const = default;
};

// What Kivo needs of a keymap in the group the user has in use, read from it once, so lookups
// on every tick cost nothing: a record of what each key types, where the keys that type no
// character are, and the virtual-key codes of each key. Both Linux edges read their keymap into
// it: the X server's and the compositor's.
class XkbLayout {
public:
    // Places nothing.
    XkbLayout() = default;
    XkbLayout(xkb_keymap* keymap, xkb_layout_index_t group);
    // The keymap that rule names give (from the XKB_DEFAULT_* environment where a name is
    // empty, as compositors do); nullopt when xkeyboard-config has no such layout.
    static std::optional<XkbLayout> fromNames(const std::string& layout, const std::string& variant = {},
                                              xkb_layout_index_t group = 0);

    // The key typing a character with the fewest modifiers, as every edge finds it in its
    // records; none when no key of the group in use types it.
    std::optional<KeyPlacement> findCharacter(char32_t character) const;
    // The key of a keysym that types no character (Return, F1, Shift); lower levels first.
    std::optional<KeyPlacement> find(xkb_keysym_t keysym) const;
    // Whether the key at an evdev code is a dead key by itself.
    bool isDeadKey(unsigned code) const;
    // By XKB keycode.
    std::span<const KeyRecord> records() const { return records_; }
    const VirtualKeyTable& virtualKeys() const { return virtualKeys_; }
    // Tells one reading of a keymap from another, so that what was found on it can be kept.
    std::uint64_t serial() const { return serial_; }

    // The group in use after a key typed this keysym: `current` when the key types it there,
    // else the first group in which it does; `current` when none does.
    static xkb_layout_index_t groupTyping(xkb_keymap* keymap, xkb_keycode_t keycode, xkb_keysym_t keysym,
                                          xkb_layout_index_t current);

    // Modifier bits of Caps Lock and Num Lock in the keymap's masks; 0 when it has none.
    xkb_mod_mask_t capsLockMask() const { return capsLockMask_; }
    xkb_mod_mask_t numLockMask() const { return numLockMask_; }

private:
    void readRecords(xkb_keymap* keymap, xkb_layout_index_t group, const std::vector<xkb_keycode_t>& keycodes,
                     const ModifierKeys& modifiers);
    void placeKeysTypingNoCharacter(xkb_keymap* keymap, xkb_layout_index_t group,
                                    const std::vector<xkb_keycode_t>& keycodes, const ModifierKeys& modifiers);

    // By XKB keycode: what each key types, and the keys holding each of its levels.
    std::vector<KeyRecord> records_;
    std::vector<std::array<std::vector<unsigned>, kKeyLevels>> levelKeys_;
    std::unordered_map<xkb_keysym_t, KeyPlacement> placements_;
    VirtualKeyTable virtualKeys_;
    xkb_mod_mask_t capsLockMask_ = 0;
    xkb_mod_mask_t numLockMask_ = 0;
    std::uint64_t serial_ = 0;
};

}  // namespace kivo
