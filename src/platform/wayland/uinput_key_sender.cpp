#include "platform/key_string_typer.h"
#include "platform/wayland/wayland_backends.h"
#include "platform/xkb/layout_typing.h"

#include <string>

namespace kivo {
namespace {

class UinputKeySender final : public KeySender {
public:
    UinputKeySender(std::unique_ptr<KeySwitch> keyboard, KeymapSource& keymaps)
        : keyboard_(std::move(keyboard)), keymaps_(keymaps)
    {
    }

    void send(const KeyString& keys) override
    {
        const XkbLayout& layout = keymaps_.layout();
        typer_.type(keys, [&](const KeyStroke& stroke) { return type(layout, stroke); });
    }

private:
    std::string type(const XkbLayout& layout, const KeyStroke& stroke)
    {
        HeldKeys held(*keyboard_);
        return typeOnLayout(layout, stroke, characters_, held);
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
