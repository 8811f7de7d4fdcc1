#include "platform/key_string_typer.h"
#include "platform/wayland/wayland_backends.h"
#include "platform/xkb/keysyms.h"

#include <string>

namespace kivo {
namespace {

class UinputKeySender final : public KeySender {
public:
    UinputKeySender(std::unique_ptr<KeySwitch> keyboard, KeymapSource& keymaps)
        : keyboard_(std::move(keyboard)), keymaps_(keymaps), holding_(*keyboard_)
    {
    }

    void send(const KeyString& keys) override
    {
        const XkbLayout& layout = keymaps_.layout();
        typer_.type(keys, [&](const KeyStroke& stroke) {
            HeldKeys held(*keyboard_);
            return type(held, layout, stroke);
        });
    }

    void press(const KeyString& keys) override
    {
        const XkbLayout& layout = keymaps_.layout();
        holding_.press(keys, [&](HeldKeys& held) {
            typer_.type(keys, [&](const KeyStroke& stroke) { return type(held, layout, stroke); });
        });
    }

    void release(const KeyString& keys) override { holding_.release(keys); }

private:
    // Returns why the key could not be typed, or nothing when it was.
    std::string type(HeldKeys& held, const XkbLayout& layout, const KeyStroke& stroke)
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
        return typeByKeysyms(stroke, characters_, hold, type, typeAt);
    }

    std::unique_ptr<KeySwitch> keyboard_;
    KeymapSource& keymaps_;
    // Declared after the keyboard, so that the keys it holds are let go before the keyboard goes.
    HeldKeyStrings holding_;
    KeyStringTyper typer_;
    CharacterKeysyms characters_;
};

}  // namespace

std::unique_ptr<KeySender> makeUinputKeySender(std::unique_ptr<KeySwitch> keyboard, KeymapSource& keymaps)
{
    return std::make_unique<UinputKeySender>(std::move(keyboard), keymaps);
}

}  // namespace kivo
