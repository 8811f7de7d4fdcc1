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
    explicit XTestKeySender(X11Connection& connection)
        : connection_(connection), switch_(connection.display()), holding_(switch_)
    {
    }

    // Whatever a held mode left down goes up before the connection does.
    ~XTestKeySender() override
    {
        holding_.releaseAll();
        XSync(connection_.display(), False);
    }

    XTestKeySender(const XTestKeySender&) = delete;
    XTestKeySender& operator=(const XTestKeySender&) = delete;

    void send(const KeyString& keys) override
    {
        connection_.readEvents();
        const XkbLayout& layout = connection_.layout();
        typer_.type(keys, [&](const KeyStroke& stroke) {
            HeldKeys held(switch_);
            return typing_.type(layout, stroke, held);
        });
        XFlush(connection_.display());
    }

    void press(const KeyString& keys) override
    {
        connection_.readEvents();
        const XkbLayout& layout = connection_.layout();
        holding_.press(keys, [&](HeldKeys& held) {
            typer_.type(keys, [&](const KeyStroke& stroke) { return typing_.type(layout, stroke, held); });
        });
        XFlush(connection_.display());
    }

    void release(const KeyString& keys) override
    {
        holding_.release(keys);
        XFlush(connection_.display());
    }

private:
    X11Connection& connection_;
    XTestSwitch switch_;
    HeldKeyStrings holding_;
    KeyStringTyper typer_;
    LayoutTyping typing_;
};

}  // namespace

std::unique_ptr<KeySender> makeXTestKeySender(X11Connection& connection)
{
    return std::make_unique<XTestKeySender>(connection);
}

}  // namespace kivo
