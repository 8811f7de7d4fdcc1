#include "platform/xkb/xkb_layout.h"

#include "platform/xkb/keysyms.h"

#include <linux/input-event-codes.h>

#include <algorithm>
#include <bit>
#include <memory>
#include <span>

namespace kivo {
namespace {

using Keymap = std::unique_ptr<xkb_keymap, decltype(&xkb_keymap_unref)>;
using State = std::unique_ptr<xkb_state, decltype(&xkb_state_unref)>;

// Only the keys an X server can have: keymaps also give keys past them characters (KEY_EURO),
// and a game has heard of none of them.
constexpr xkb_keycode_t kLastKeycode = VirtualKeyTable::kKeycodes - 1;
constexpr unsigned kRealModifiers = 8;
constexpr std::size_t kMaxMasks = 16;

// The keyboard's own modifier keys come first: keymaps also put modifiers on keycodes
// that no keyboard has.
constexpr unsigned kPreferredModifierKeys[] = {KEY_LEFTSHIFT, KEY_RIGHTSHIFT, KEY_LEFTCTRL, KEY_RIGHTCTRL,
                                               KEY_LEFTALT,   KEY_RIGHTALT,   KEY_LEFTMETA, KEY_RIGHTMETA};

std::vector<xkb_keycode_t> keycodesOf(xkb_keymap* keymap)
{
    std::vector<xkb_keycode_t> keycodes;
    const xkb_keycode_t last = std::min(xkb_keymap_max_keycode(keymap), kLastKeycode);
    for (xkb_keycode_t keycode = xkb_keymap_min_keycode(keymap); keycode <= last; ++keycode) {
        if (keycode >= kEvdevToXkb && isKeyboardKeyCode(keycode - kEvdevToXkb)) {
            keycodes.push_back(keycode);
        }
    }
    return keycodes;
}

// The key that sets each real modifier while it is held in the group in use, found by pressing
// every key on a state of its own: keys that lock a modifier (Caps Lock, Num Lock) cannot hold
// it, and the right Alt key may be Alt in one group and AltGr in another.
std::array<std::optional<unsigned>, kRealModifiers> modifierKeys(xkb_keymap* keymap,
                                                                 const std::vector<xkb_keycode_t>& keycodes,
                                                                 xkb_layout_index_t group)
{
    std::vector<xkb_keycode_t> candidates;
    for (const unsigned code : kPreferredModifierKeys) {
        candidates.push_back(code + kEvdevToXkb);
    }
    candidates.insert(candidates.end(), keycodes.begin(), keycodes.end());

    std::array<std::optional<unsigned>, kRealModifiers> keys;
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

// The keys that hold one of the modifier masks selecting a level; none when every mask
// needs a modifier that no key holds.
std::optional<std::vector<unsigned>> levelKeys(xkb_keymap* keymap, xkb_keycode_t keycode, xkb_layout_index_t group,
                                               xkb_level_index_t level,
                                               const std::array<std::optional<unsigned>, kRealModifiers>& modifiers)
{
    xkb_mod_mask_t masks[kMaxMasks];
    const std::size_t count = xkb_keymap_key_get_mods_for_level(keymap, keycode, group, level, masks, kMaxMasks);
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

// The group a key shows while `active` is in use: a key with fewer groups wraps around, as
// the X server and compositors do by default.
xkb_layout_index_t groupOfKey(xkb_keymap* keymap, xkb_keycode_t keycode, xkb_layout_index_t active)
{
    const xkb_layout_index_t groups = xkb_keymap_num_layouts_for_key(keymap, keycode);
    return groups == 0 ? 0 : active % groups;
}

xkb_keysym_t keysymAt(xkb_keymap* keymap, xkb_keycode_t keycode, xkb_layout_index_t group, xkb_level_index_t level)
{
    const xkb_keysym_t* keysyms = nullptr;
    return xkb_keymap_key_get_syms_by_level(keymap, keycode, groupOfKey(keymap, keycode, group), level, &keysyms) == 1
               ? keysyms[0]
               : XKB_KEY_NoSymbol;
}

xkb_mod_mask_t maskOf(xkb_keymap* keymap, const char* name)
{
    const xkb_mod_index_t index = xkb_keymap_mod_get_index(keymap, name);
    return index == XKB_MOD_INVALID ? 0 : xkb_mod_mask_t{1} << index;
}

}  // namespace

XkbLayout::XkbLayout(xkb_keymap* keymap, xkb_layout_index_t group)
{
    const std::vector<xkb_keycode_t> keycodes = keycodesOf(keymap);
    const auto modifiers = modifierKeys(keymap, keycodes, group);

    xkb_level_index_t levels = 0;
    for (const xkb_keycode_t keycode : keycodes) {
        levels = std::max(levels, xkb_keymap_num_levels_for_key(keymap, keycode, groupOfKey(keymap, keycode, group)));
    }
    // Where each keysym of a level is typed; a dead key also places its character, which it
    // types when pressed twice.
    auto place = [&](std::span<const xkb_keycode_t> keys, xkb_level_index_t level, bool deadKeys) {
        for (const xkb_keycode_t keycode : keys) {
            xkb_keysym_t keysym = keysymAt(keymap, keycode, group, level);
            if (deadKeys) {
                keysym = spacingKeysymOf(keysym);
            }
            if (keysym == XKB_KEY_NoSymbol || placements_.contains(keysym)) {
                continue;
            }
            if (std::optional<std::vector<unsigned>> held =
                    levelKeys(keymap, keycode, groupOfKey(keymap, keycode, group), level, modifiers)) {
                placements_.emplace(keysym, KeyPlacement{keycode - kEvdevToXkb, std::move(*held), deadKeys});
            }
        }
    };
    // Unshifted and shifted first, then dead keys, then AltGr and the levels above it.
    constexpr xkb_level_index_t kLevelsWithoutAltGr = 2;
    for (xkb_level_index_t level = 0; level < kLevelsWithoutAltGr; ++level) {
        place(keycodes, level, false);
    }
    for (xkb_level_index_t level = 0; level < kLevelsWithoutAltGr; ++level) {
        place(keycodes, level, true);
    }
    for (xkb_level_index_t level = kLevelsWithoutAltGr; level < levels; ++level) {
        place(keycodes, level, false);
    }

    std::array<std::vector<xkb_keysym_t>, 4> levelKeysyms;
    for (xkb_keycode_t keycode = 0; keycode < VirtualKeyTable::kKeycodes; ++keycode) {
        for (xkb_level_index_t level = 0; level < levelKeysyms.size(); ++level) {
            levelKeysyms[level].push_back(keysymAt(keymap, keycode, group, level));
        }
    }
    virtualKeys_ = VirtualKeyTable({levelKeysyms[0], levelKeysyms[1], levelKeysyms[2], levelKeysyms[3]}, 0);
    capsLockMask_ = maskOf(keymap, XKB_MOD_NAME_CAPS);
    numLockMask_ = maskOf(keymap, XKB_MOD_NAME_NUM);
}

xkb_layout_index_t XkbLayout::groupTyping(xkb_keymap* keymap, xkb_keycode_t keycode, xkb_keysym_t keysym,
                                          xkb_layout_index_t current)
{
    auto types = [&](xkb_layout_index_t group) {
        const xkb_level_index_t levels =
            xkb_keymap_num_levels_for_key(keymap, keycode, groupOfKey(keymap, keycode, group));
        for (xkb_level_index_t level = 0; level < levels; ++level) {
            if (keysymAt(keymap, keycode, group, level) == keysym) {
                return true;
            }
        }
        return false;
    };
    if (types(current)) {
        return current;
    }
    for (xkb_layout_index_t group = 0; group < xkb_keymap_num_layouts(keymap); ++group) {
        if (types(group)) {
            return group;
        }
    }
    return current;
}

std::optional<XkbLayout> XkbLayout::fromNames(const std::string& layout, const std::string& variant,
                                              xkb_layout_index_t group)
{
    const std::unique_ptr<xkb_context, decltype(&xkb_context_unref)> context(xkb_context_new(XKB_CONTEXT_NO_FLAGS),
                                                                             &xkb_context_unref);
    if (!context) {
        return std::nullopt;
    }
    const xkb_rule_names names{nullptr, nullptr, layout.empty() ? nullptr : layout.c_str(),
                               variant.empty() ? nullptr : variant.c_str(), nullptr};
    const Keymap keymap(xkb_keymap_new_from_names(context.get(), &names, XKB_KEYMAP_COMPILE_NO_FLAGS),
                        &xkb_keymap_unref);
    if (!keymap) {
        return std::nullopt;
    }
    return XkbLayout(keymap.get(), group);
}

std::optional<KeyPlacement> XkbLayout::find(xkb_keysym_t keysym) const
{
    if (const auto found = placements_.find(keysym); found != placements_.end()) {
        return found->second;
    }
    return std::nullopt;
}

}  // namespace kivo
