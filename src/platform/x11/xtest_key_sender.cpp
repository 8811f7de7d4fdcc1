#include "platform/x11/keysyms.h"
#include "platform/x11/x11_backends.h"

#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <algorithm>
#include <iostream>
#include <string>
#include <utility>
#include <vector>

namespace kivo {
namespace {

// Presses keys through XTest and releases every one of them, last pressed first.
class HeldKeys {
public:
    explicit HeldKeys(Display* display) : display_(display) {}
    ~HeldKeys()
    {
        for (auto key = held_.rbegin(); key != held_.rend(); ++key) {
            XTestFakeKeyEvent(display_, *key, False, CurrentTime);
        }
    }
    HeldKeys(const HeldKeys&) = delete;
    HeldKeys& operator=(const HeldKeys&) = delete;

    void press(KeyCode keycode)
    {
        if (std::ranges::find(held_, keycode) == held_.end()) {
            XTestFakeKeyEvent(display_, keycode, True, CurrentTime);
            held_.push_back(keycode);
        }
    }

private:
    Display* display_;
    std::vector<KeyCode> held_;
};

class XTestKeySender final : public KeySender {
public:
    explicit XTestKeySender(X11Connection& connection) : connection_(connection) {}

    // Receivers look a keycode up only when its event arrives, so the keysyms given to spare
    // keycodes are taken back only now, from those that still carry them.
    ~XTestKeySender() override
    {
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

    void send(std::string_view keys) override
    {
        connection_.readEvents();
        const ParsedKeyString parsed = parseKeyString(keys);
        if (!parsed.error.empty()) {
            report(keys, parsed.error);
            return;
        }
        std::string problem;
        for (const KeyStroke& stroke : parsed.strokes) {
            if (std::string untyped = type(stroke); !untyped.empty()) {
                problem = std::move(untyped);
            }
        }
        XFlush(connection_.display());
        if (!problem.empty()) {
            report(keys, problem);
        }
    }

private:
    // Returns why the key could not be typed, or nothing when it was.
    std::string type(const KeyStroke& stroke)
    {
        HeldKeys held(connection_.display());
        const KeyModifiers& modifiers = stroke.modifiers;
        for (auto [wanted, keysym] : {std::pair{modifiers.shift, XK_Shift_L},
                                      std::pair{modifiers.control, XK_Control_L}, std::pair{modifiers.alt, XK_Alt_L}}) {
            if (wanted) {
                pressKeysym(held, keysym);
            }
        }
        if (stroke.kind == KeyStroke::Kind::ModifiersOnly) {
            return {};
        }
        const KeySym keysym =
            stroke.kind == KeyStroke::Kind::Named ? keysymFor(stroke.key) : characters_[stroke.character];
        if (keysym == NoSymbol) {
            return "Windows-1252 has no character " + std::to_string(static_cast<unsigned char>(stroke.character));
        }
        const std::optional<KeyPosition> position = positionOf(keysym);
        if (!position) {
            return "no key types it and no spare keycode is left";
        }
        if (position->shifted) {
            pressKeysym(held, XK_Shift_L);
        }
        XTestFakeKeyEvent(connection_.display(), position->keycode, True, CurrentTime);
        XTestFakeKeyEvent(connection_.display(), position->keycode, False, CurrentTime);
        return {};
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

    // A string held on a button arrives every tick, so each problem is told once.
    void report(std::string_view keys, std::string_view problem)
    {
        if (keys == lastReported_) {
            return;
        }
        lastReported_ = keys;
        std::cerr << "kivo: cannot type \"" << keys << "\": " << problem << '\n';
    }

    using Mapped = std::pair<KeySym, KeyCode>;

    X11Connection& connection_;
    CharacterKeysyms characters_;
    std::vector<Mapped> mapped_;  // oldest first
    std::string lastReported_;
};

}  // namespace

std::unique_ptr<KeySender> makeXTestKeySender(X11Connection& connection)
{
    return std::make_unique<XTestKeySender>(connection);
}

}  // namespace kivo
