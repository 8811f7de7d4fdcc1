#include "platform/xkb/keymap_keys.h"

#include <linux/input-event-codes.h>

#include <algorithm>
#include <bit>
#include <memory>

namespace kivo {
namespace {

using State = std::unique_ptr<xkb_state, decltype(&xkb_state_unref)>;

constexpr std::size_t kMaxMasks = 16;

// The keyboard's own modifier keys come first: keymaps also put modifiers on keycodes
// that no keyboard has.
constexpr unsigned kPreferredModifierKeys[] = {KEY_LEFTSHIFT, KEY_RIGHTSHIFT, KEY_LEFTCTRL, KEY_RIGHTCTRL,
                                               KEY_LEFTALT,   KEY_RIGHTALT,   KEY_LEFTMETA, KEY_RIGHTMETA};

// The group a key shows while `active` is in use: a key with fewer groups wraps around, as
// the X server and compositors do by default.
xkb_layout_index_t groupOfKey(xkb_keymap* keymap, xkb_keycode_t keycode, xkb_layout_index_t active)
{
    const xkb_layout_index_t groups = xkb_keymap_num_layouts_for_key(keymap, keycode);
    return groups == 0 ? 0 : active % groups;
}

}  // namespace

std::vector<xkb_keycode_t> keycodesOf(xkb_keymap* keymap)
{
    std::vector<xkb_keycode_t> keycodes;
    const xkb_keycode_t last = std::min(xkb_keymap_max_keycode(keymap), xkb_keycode_t{kKeycodes - 1});
    for (xkb_keycode_t keycode = xkb_keymap_min_keycode(keymap); keycode <= last; ++keycode) {
        if (keycode >= kEvdevToXkb && isKeyboardKeyCode(keycode - kEvdevToXkb)) {
            keycodes.push_back(keycode);
        }
    }
    return keycodes;
}

// Found by pressing every key on a state of its own: keys that lock a modifier (Caps Lock,
// Num Lock) cannot hold it, and the right Alt key may be Alt in one group and AltGr in another.
ModifierKeys modifierKeys(xkb_keymap* keymap, const std::vector<xkb_keycode_t>& keycodes, xkb_layout_index_t group)
{
    std::vector<xkb_keycode_t> candidates;
    for (const unsigned code : kPreferredModifierKeys) {
        candidates.push_back(code + kEvdevToXkb);
    }
    candidates.insert(candidates.end(), keycodes.begin(), keycodes.end());

    ModifierKeys keys;
    for (const xkb_keycode_t keycode : candidates) {
        const State state(xkb_state_new(keymap), &xkb_state_unref);
        if (!state) {
            break;
        }
        xkb_state_update_mask(state.get(), 0, 0, 0, 0, 0, group);
        xkb_state_update_key(state.get(), keycode, XKB_KEY_DOWN);
        const xkb_mod_mask_t held = xkb_state_serialize_mods(state.get(), XKB_STATE_MODS_DEPRESSED);
        const xkb_mod_mask_t locked = xkb_state_serialize_mods(state.get(), XKB_STATE_MODS_LOCKED);
        if (std::popcount(held) == 1 && locked == 0) {
            const auto bit = static_cast<std::size_t>(std::countr_zero(held));
            if (bit < keys.size() && !keys[bit]) {
                keys[bit] = keycode - kEvdevToXkb;
            }
        }
    }
    return keys;
}

std::optional<std::vector<unsigned>> levelKeys(xkb_keymap* keymap, xkb_keycode_t keycode, xkb_layout_index_t group,
                                               xkb_level_index_t level, const ModifierKeys& modifiers)
{
    xkb_mod_mask_t masks[kMaxMasks];
    const std::size_t count =
        xkb_keymap_key_get_mods_for_level(keymap, keycode, groupOfKey(keymap, keycode, group), level, masks, kMaxMasks);
    for (std::size_t i = 0; i < count; ++i) {
        std::vector<unsigned> keys;
        bool reachable = true;
        for (std::size_t bit = 0; bit < 32 && reachable; ++bit) {
            if ((masks[i] & (1U << bit)) != 0) {
                reachable = bit < modifiers.size() && modifiers[bit];
                if (reachable) {
                    keys.push_back(*modifiers[bit]);
                }
            }
        }
        if (reachable) {
            return keys;
        }
    }
    return std::nullopt;
}

xkb_keysym_t keysymAt(xkb_keymap* keymap, xkb_keycode_t keycode, xkb_layout_index_t group, xkb_level_index_t level)
{
    const xkb_keysym_t* keysyms = nullptr;
    return xkb_keymap_key_get_syms_by_level(keymap, keycode, groupOfKey(keymap, keycode, group), level, &keysyms) == 1
               ? keysyms[0]
               : XKB_KEY_NoSymbol;
}

xkb_level_index_t levelsOf(xkb_keymap* keymap, xkb_keycode_t keycode, xkb_layout_index_t group)
{
    return xkb_keymap_num_levels_for_key(keymap, keycode, groupOfKey(keymap, keycode, group));
}

}  // namespace kivo
