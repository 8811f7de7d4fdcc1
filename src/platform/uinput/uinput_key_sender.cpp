#include "platform/key_string_typer.h"
#include "platform/uinput/uinput_backends.h"
#include "platform/xkb/keysyms.h"

#include <string>

namespace kivo {
namespace {

class UinputKeySender final : public KeySender {
public:
    UinputKeySender(std::unique_ptr<KeySwitch> keyboard, KeymapSource& keymaps)
        : keyboard_(std::move(keyboard)), keymaps_(keymaps)
    {
    }

    void send(std::string_view keys) override
    {
        const XkbLayout& layout = keymaps_.layout();
        typer_.type(keys, [&](const KeyStroke& stroke) { return type(layout, stroke); });
    }

private:
    // Returns why the key could not be typed, or nothing when it was.
    std::string type(const XkbLayout& layout, const KeyStroke& stroke)
    {
        HeldKeys held(*keyboard_);
        for (const xkb_keysym_t keysym : modifierKeysyms(stroke.modifiers)) {
            if (const std::optional<KeyPlacement> placement = layout.find(keysym)) {
                press(held, *placement);
            }
        }
        if (stroke.kind == KeyStroke::Kind::ModifiersOnly) {
            return {};
        }
        const xkb_keysym_t keysym =
            stroke.kind == KeyStroke::Kind::Named ? keysymFor(stroke.key) : characters_[stroke.character];
        if (keysym == XKB_KEY_NoSymbol) {
            return "Windows-1252 has no character " + std::to_string(static_cast<unsigned char>(stroke.character));
        }
        const std::optional<KeyPlacement> placement = layout.find(keysym);
        if (!placement) {
            return "no key of the keyboard layout types it";
        }
        for (const unsigned code : placement->levelKeys) {
            held.press(code);
        }
        held.tap(placement->code);
        return {};
    }

    static void press(HeldKeys& held, const KeyPlacement& placement)
    {
        for (const unsigned code : placement.levelKeys) {
            held.press(code);
        }
        held.press(placement.code);
    }

    std::unique_ptr<KeySwitch> keyboard_;
    KeymapSource& keymaps_;
    KeyStringTyper typer_;
    CharacterKeysyms characters_;
};

}  // namespace

std::unique_ptr<KeySender> makeUinputKeySender(std::unique_ptr<KeySwitch> keyboard, KeymapSource& keymaps)
{
    return std::make_unique<UinputKeySender>(std::move(keyboard), keymaps);
}

}  // namespace kivo
