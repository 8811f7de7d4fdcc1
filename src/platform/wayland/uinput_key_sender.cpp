#include "platform/key_string_typer.h"
#include "platform/wayland/wayland_backends.h"
#include "platform/xkb/layout_typing.h"

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
    std::string type(HeldKeys& held, const XkbLayout& layout, const KeyStroke& stroke)
    {
        return typing_.type(layout, stroke, held);
    }

    std::unique_ptr<KeySwitch> keyboard_;
    KeymapSource& keymaps_;
    // Declared after the keyboard, so that the keys it holds are let go before the keyboard goes.
    HeldKeyStrings holding_;
    KeyStringTyper typer_;
    LayoutTyping typing_;
};

}  // namespace

std::unique_ptr<KeySender> makeUinputKeySender(std::unique_ptr<KeySwitch> keyboard, KeymapSource& keymaps)
{
    return std::make_unique<UinputKeySender>(std::move(keyboard), keymaps);
}

}  // namespace kivo
