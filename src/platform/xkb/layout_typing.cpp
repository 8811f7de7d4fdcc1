#include "platform/xkb/layout_typing.h"

#include <optional>

namespace kivo {

std::string typeOnLayout(const XkbLayout& layout, const KeyStroke& stroke, const CharacterKeysyms& characters,
                         HeldKeys& held)
{
    // Finds the key of a keysym and holds the keys of its level (Shift, AltGr) down.
    auto reach = [&](xkb_keysym_t keysym) {
        const std::optional<KeyPlacement> placement = layout.find(keysym);
        if (placement) {
            for (const unsigned code : placement->levelKeys) {
                held.press(code);
            }
        }
        return placement;
    };
    auto hold = [&](xkb_keysym_t keysym) {
        if (const std::optional<KeyPlacement> placement = reach(keysym)) {
            held.press(placement->code);
        }
    };
    auto type = [&](xkb_keysym_t keysym) -> std::string {
        const std::optional<KeyPlacement> placement = reach(keysym);
        if (!placement) {
            return "no key of the keyboard layout types it";
        }
        held.tap(placement->code, placement->dead);
        return {};
    };
    auto typeAt = [&](unsigned code) -> std::string {
        held.tap(code, layout.virtualKeys().isDeadKey(code + kEvdevToXkb));
        return {};
    };
    return typeByKeysyms(stroke, characters, hold, type, typeAt);
}

}  // namespace kivo
