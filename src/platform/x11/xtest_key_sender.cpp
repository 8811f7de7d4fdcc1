#include "platform/x11/x11_backends.h"
#include "platform/xkb/layout_typing.h"

#include <X11/extensions/XTest.h>

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
        : connection_(connection), switch_(connection.display()), strings_(switch_)
    {
    }

    // Whatever a held mode left down goes up before the connection does.
    ~XTestKeySender() override
    {
        strings_.releaseAll();
        XSync(connection_.display(), False);
    }

    XTestKeySender(const XTestKeySender&) = delete;
    XTestKeySender& operator=(const XTestKeySender&) = delete;

    void send(const KeyString& keys) override
    {
        connection_.readEvents();
        strings_.send(connection_.layout(), keys);
        XFlush(connection_.display());
    }

    void press(const KeyString& keys) override
    {
        connection_.readEvents();
        strings_.press(connection_.layout(), keys);
        XFlush(connection_.display());
    }

    void release(const KeyString& keys) override
    {
        strings_.release(keys);
        XFlush(connection_.display());
    }

private:
    X11Connection& connection_;
    XTestSwitch switch_;
    LayoutKeyStrings strings_;
};

}  // namespace

std::unique_ptr<KeySender> makeXTestKeySender(X11Connection& connection)
{
    return std::make_unique<XTestKeySender>(connection);
}

}  // namespace kivo
