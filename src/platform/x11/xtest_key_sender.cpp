#include "platform/held_keys.h"
#include "platform/key_string_typer.h"
#include "platform/x11/x11_backends.h"
#include "platform/xkb/layout_typing.h"

#include <X11/extensions/XTest.h>

#include <string>

namespace kivo {
namespace {

// Presses keys by their evdev codes, which are the X server's keycodes less 8.
class XTestSwitch final : public KeySwitch {
public:
    explicit XTestSwitch(Display* display) : display_(display) {}
    void key(unsigned code, bool down) override
    {
        XTestFakeKeyEvent(display_, code + kEvdevToXkb, down ? True : False, CurrentTime);
    }

private:
    Display* display_;
};

class XTestKeySender final : public KeySender {
public:
    explicit XTestKeySender(X11Connection& connection) : connection_(connection), switch_(connection.display()) {}

    void send(const KeyString& keys) override
    {
        connection_.readEvents();
        const XkbLayout& layout = connection_.layout();
        typer_.type(keys, [&](const KeyStroke& stroke) {
            HeldKeys held(switch_);
            return typeOnLayout(layout, stroke, characters_, held);
        });
        XFlush(connection_.display());
    }

private:
    X11Connection& connection_;
    XTestSwitch switch_;
    KeyStringTyper typer_;
    CharacterKeysyms characters_;
};

}  // namespace

std::unique_ptr<KeySender> makeXTestKeySender(X11Connection& connection)
{
    return std::make_unique<XTestKeySender>(connection);
}

}  // namespace kivo
