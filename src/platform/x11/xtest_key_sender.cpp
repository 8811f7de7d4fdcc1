#include "platform/held_keys.h"
#include "platform/key_string_typer.h"
#include "platform/x11/x11_backends.h"
#include "platform/xkb/keysyms.h"

#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace kivo {
namespace {

class XTestSwitch final : public KeySwitch {
public:
    explicit XTestSwitch(Display* display) : display_(display) {}
    void key(unsigned code, bool down) override { XTestFakeKeyEvent(display_, code, down ? True : False, CurrentTime); }

private:
    Display* display_;
};

class XTestKeySender final : public KeySender {
public:
    explicit XTestKeySender(X11Connection& connection)
        : connection_(connection), switch_(connection.display()), holding_(switch_)
    {
    }

    // Receivers look a keycode up only when its event arrives, so the keysyms given to spare
    // keycodes are taken back only now, from those that still carry them.
    ~XTestKeySender() override
    {
        holding_.releaseAll();
        XSync(connection_.display(), False);
        connection_.readEvents();
        KeySym none = NoSymbol;
        for (const auto& [keysym, keycode] : mapped_) {
            if (connection_.layout().find(keysym) == KeyPosition{keycode, false}) {
                XChangeKeyboardMapping(connection_.display(), keycode, 1, &none, 1);
            }
        }
        XSync(connection_.display(), False);
    }

    XTestKeySender(const XTestKeySender&) = delete;
    XTestKeySender& operator=(const XTestKeySender&) = delete;

    void send(const KeyString& keys) override
    {
        connection_.readEvents();
        typer_.type(keys, [this](const KeyStroke& stroke) {
            HeldKeys held(switch_);
            return type(held, stroke);
        });
        XFlush(connection_.display());
    }

    void press(const KeyString& keys) override
    {
        connection_.readEvents();
        holding_.press(keys, [&](HeldKeys& held) {
            typer_.type(keys, [&](const KeyStroke& stroke) { return type(held, stroke); });
        });
        XFlush(connection_.display());
    }

    void release(const KeyString& keys) override
    {
        holding_.release(keys);
        XFlush(connection_.display());
    }

private:
    // Returns why the key could not be typed, or nothing when it was.
    std::string type(HeldKeys& held, const KeyStroke& stroke)
    {
        auto hold = [&](KeySym keysym) { pressKeysym(held, keysym); };
        auto type = [&](KeySym keysym) -> std::string {
            const std::optional<KeyPosition> position = positionOf(keysym);
            if (!position) {
                return "no key types it and no spare keycode is left";
            }
            if (position->shifted) {
                pressKeysym(held, XK_Shift_L);
            }
            if (position->levelThree) {
                pressKeysym(held, XK_ISO_Level3_Shift);
            }
            held.tap(position->keycode, position->dead);
            return {};
        };
        auto typeAt = [&](unsigned evdev) -> std::string {
            const unsigned keycode = evdev + kEvdevToXkb;
            held.tap(keycode, connection_.layout().virtualKeys().isDeadKey(keycode));
            return {};
        };
        return typeByKeysyms(stroke, characters_, hold, type, typeAt);
    }

    void pressKeysym(HeldKeys& held, KeySym keysym)
    {
        if (const std::optional<KeyPosition> position = positionOf(keysym)) {
            held.press(position->keycode);
        }
    }

    std::optional<KeyPosition> positionOf(KeySym keysym)
    {
        if (std::optional<KeyPosition> position = connection_.layout().find(keysym)) {
            return position;
        }
        const std::optional<KeyCode> spare = spareKeycodeFor(keysym);
        return spare ? std::optional<KeyPosition>{{*spare, false}} : std::nullopt;
    }

    // A keysym no key produces is given a keycode that has none, on both levels so Shift
    // does not matter. Once no keycode is free, the one given a keysym longest ago is reused.
    std::optional<KeyCode> spareKeycodeFor(KeySym keysym)
    {
        auto entry = std::ranges::find(mapped_, keysym, &Mapped::first);
        if (entry == mapped_.end()) {
            const std::optional<KeyCode> keycode = freeKeycode();
            if (!keycode) {
                return std::nullopt;
            }
            std::erase_if(mapped_, [&](const Mapped& mapped) { return mapped.second == *keycode; });
            entry = mapped_.insert(mapped_.end(), {keysym, *keycode});
        }
        // Mapped again until the layout shows it, in case the mapping was changed under us.
        KeySym symbols[] = {keysym, keysym};
        XChangeKeyboardMapping(connection_.display(), entry->second, 2, symbols, 1);
        return entry->second;
    }

    // Unused in the current layout and not given a keysym already, whose mapping may not show yet.
    std::optional<KeyCode> freeKeycode()
    {
        for (KeyCode keycode : connection_.layout().unusedKeycodes()) {
            if (std::ranges::find(mapped_, keycode, &Mapped::second) == mapped_.end()) {
                return keycode;
            }
        }
        return mapped_.empty() ? std::nullopt : std::optional<KeyCode>{mapped_.front().second};
    }

    using Mapped = std::pair<KeySym, KeyCode>;

    X11Connection& connection_;
    XTestSwitch switch_;
    HeldKeyStrings holding_;
    KeyStringTyper typer_;
    CharacterKeysyms characters_;
    std::vector<Mapped> mapped_;  // oldest first
};

}  // namespace

std::unique_ptr<KeySender> makeXTestKeySender(X11Connection& connection)
{
    return std::make_unique<XTestKeySender>(connection);
}

}  // namespace kivo
