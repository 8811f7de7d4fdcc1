#include "platform/xkb/xkb_layout.h"

#include "platform/xkb/keysyms.h"

#include <xkbcommon/xkbcommon-keysyms.h>

#include <atomic>
#include <memory>

namespace kivo {
namespace {

using Keymap = std::unique_ptr<xkb_keymap, decltype(&xkb_keymap_unref)>;

std::atomic<std::uint64_t> layoutsRead{0};

bool isDeadKeysym(xkb_keysym_t keysym)
{
    return keysym >= XKB_KEY_dead_grave && keysym <= XKB_KEY_dead_greek;
}

// The character a keysym types. Control characters count as none, as their keys have names, and
// so do the keypad's: a character is typed on the main block, as a game expects it there.
char32_t characterOf(xkb_keysym_t keysym)
{
    if (keysym >= XKB_KEY_KP_Space && keysym <= XKB_KEY_KP_Equal) {
        return 0;
    }
    const char32_t character = xkb_keysym_to_utf32(keysym);
    return character < U' ' || character == U'\x7f' ? 0 : character;
}

xkb_mod_mask_t maskOf(xkb_keymap* keymap, const char* name)
{
    const xkb_mod_index_t index = xkb_keymap_mod_get_index(keymap, name);
    return index == XKB_MOD_INVALID ? 0 : xkb_mod_mask_t{1} << index;
}

}  // namespace

XkbLayout::XkbLayout(xkb_keymap* keymap, xkb_layout_index_t group) : serial_(++layoutsRead)
{
    const std::vector<xkb_keycode_t> keycodes = keycodesOf(keymap);
    const ModifierKeys modifiers = modifierKeys(keymap, keycodes, group);
    readRecords(keymap, group, keycodes, modifiers);
    placeKeysTypingNoCharacter(keymap, group, keycodes, modifiers);
    capsLockMask_ = maskOf(keymap, XKB_MOD_NAME_CAPS);
    numLockMask_ = maskOf(keymap, XKB_MOD_NAME_NUM);
}

// A level is recorded only where keys hold its modifiers; a dead key records the character it
// types when pressed twice.
void XkbLayout::readRecords(xkb_keymap* keymap, xkb_layout_index_t group, const std::vector<xkb_keycode_t>& keycodes,
                            const ModifierKeys& modifiers)
{
    records_.assign(kKeycodes, KeyRecord{});
    levelKeys_.assign(kKeycodes, {});
    std::vector<xkb_keysym_t> unshifted(kKeycodes, XKB_KEY_NoSymbol);
    std::vector<xkb_keysym_t> secondLevel(kKeycodes, XKB_KEY_NoSymbol);
    for (const xkb_keycode_t keycode : keycodes) {
        unshifted[keycode] = keysymAt(keymap, keycode, group, 0);
        secondLevel[keycode] = keysymAt(keymap, keycode, group, 1);
    }
    const OemLayout oemLayout = oemLayoutOf(unshifted);
    for (const xkb_keycode_t keycode : keycodes) {
        KeyRecord& record = records_[keycode];
        record.virtualKey = virtualKeysFor(unshifted[keycode], oemLayout)[0];
        record.scanCode = scanCodeOfEvdev(keycode - kEvdevToXkb).value_or(0);
        for (xkb_level_index_t level = 0; level < kKeyLevels; ++level) {
            const xkb_keysym_t keysym = keysymAt(keymap, keycode, group, level);
            const bool dead = isDeadKeysym(keysym);
            const char32_t character = characterOf(dead ? spacingKeysymOf(keysym) : keysym);
            if (character == 0 && !dead) {
                continue;
            }
            if (std::optional<std::vector<unsigned>> held = levelKeys(keymap, keycode, group, level, modifiers)) {
                record.typed[level] = character;
                record.dead[level] = dead;
                levelKeys_[keycode][level] = std::move(*held);
            }
        }
    }
    virtualKeys_ = VirtualKeyTable({records_, unshifted, secondLevel});
}

// Lower levels first, so a keysym on two keys is typed with the fewer modifiers.
void XkbLayout::placeKeysTypingNoCharacter(xkb_keymap* keymap, xkb_layout_index_t group,
                                           const std::vector<xkb_keycode_t>& keycodes, const ModifierKeys& modifiers)
{
    xkb_level_index_t levels = 0;
    for (const xkb_keycode_t keycode : keycodes) {
        levels = std::max(levels, levelsOf(keymap, keycode, group));
    }
    for (xkb_level_index_t level = 0; level < levels; ++level) {
        for (const xkb_keycode_t keycode : keycodes) {
            const xkb_keysym_t keysym = keysymAt(keymap, keycode, group, level);
            if (keysym == XKB_KEY_NoSymbol || isDeadKeysym(keysym) || characterOf(keysym) != 0 ||
                placements_.contains(keysym)) {
                continue;
            }
            if (std::optional<std::vector<unsigned>> held = levelKeys(keymap, keycode, group, level, modifiers)) {
                placements_.emplace(keysym, KeyPlacement{keycode - kEvdevToXkb, std::move(*held), false});
            }
        }
    }
}

xkb_layout_index_t XkbLayout::groupTyping(xkb_keymap* keymap, xkb_keycode_t keycode, xkb_keysym_t keysym,
                                          xkb_layout_index_t current)
{
    auto types = [&](xkb_layout_index_t group) {
        const xkb_level_index_t levels = levelsOf(keymap, keycode, group);
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

std::optional<KeyPlacement> XkbLayout::findCharacter(char32_t character) const
{
    const std::optional<KeyReach> reach = keyTyping(records_, character);
    if (!reach) {
        return std::nullopt;
    }
    const auto keycode = static_cast<std::size_t>(reach->key - records_.data());
    return KeyPlacement{static_cast<unsigned>(keycode - kEvdevToXkb),
                        levelKeys_[keycode][static_cast<std::size_t>(reach->level)], reach->dead};
}

std::optional<KeyPlacement> XkbLayout::find(xkb_keysym_t keysym) const
{
    if (const auto found = placements_.find(keysym); found != placements_.end()) {
        return found->second;
    }
    return std::nullopt;
}

bool XkbLayout::isDeadKey(unsigned code) const
{
    const std::size_t keycode = code + kEvdevToXkb;
    return keycode < records_.size() && records_[keycode].deadAt(KeyLevel::Plain);
}

}  // namespace kivo
