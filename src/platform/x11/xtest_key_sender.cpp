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
    ~HeldKeys() {
        for (auto key = held_.rbegin(); key != held_.rend(); ++key) {
            XTestFakeKeyEvent(display_, *key, False, CurrentTime);
        }
    }
    HeldKeys(const HeldKeys&) = delete;
    HeldKeys& operator=(const HeldKeys&) = delete;

    void press(KeyCode keycode) {
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
    explicit XTestKeySender(X11Connection& connection)
        : connection_(connection), spares_(connection.layout().unusedKeycodes()) {}

    // Receivers look a keycode up only when its event arrives, so the keysyms given to spare
    // keycodes are taken back only now.
    ~XTestKeySender() override {
        KeySym none = NoSymbol;
        for (const auto& [keysym, keycode] : mapped_) {
            XChangeKeyboardMapping(connection_.display(), keycode, 1, &none, 1);
        }
        XSync(connection_.display(), False);
    }

    XTestKeySender(const XTestKeySender&) = delete;
    XTestKeySender& operator=(const XTestKeySender&) = delete;

    void send(std::string_view keys) override {
        connection_.readEvents();
        const ParsedKeyString parsed = parseKeyString(keys);
        if (!parsed.error.empty()) {
            report(keys, parsed.error);
            return;
        }
        bool typedAll = true;
        for (const KeyStroke& stroke : parsed.strokes) {
            typedAll = type(stroke) && typedAll;
        }
        XFlush(connection_.display());
        if (!typedAll) {
            report(keys, "a character has no key and no spare keycode is left for it");
        }
    }

private:
    bool type(const KeyStroke& stroke) {
        HeldKeys held(connection_.display());
        const KeyModifiers& modifiers = stroke.modifiers;
        for (auto [wanted, keysym] : {std::pair{modifiers.shift, XK_Shift_L}, std::pair{modifiers.control, XK_Control_L},
                                      std::pair{modifiers.alt, XK_Alt_L}}) {
            if (wanted) {
                pressKeysym(held, keysym);
            }
        }
        if (stroke.kind == KeyStroke::Kind::ModifiersOnly) {
            return true;
        }
        const KeySym keysym = stroke.kind == KeyStroke::Kind::Named ? keysymFor(stroke.key) : characters_[stroke.character];
        const std::optional<KeyPosition> position = keysym == NoSymbol ? std::nullopt : positionOf(keysym);
        if (!position) {
            return false;
        }
        if (position->shifted) {
            pressKeysym(held, XK_Shift_L);
        }
        XTestFakeKeyEvent(connection_.display(), position->keycode, True, CurrentTime);
        XTestFakeKeyEvent(connection_.display(), position->keycode, False, CurrentTime);
        return true;
    }

    void pressKeysym(HeldKeys& held, KeySym keysym) {
        if (const std::optional<KeyPosition> position = positionOf(keysym)) {
            held.press(position->keycode);
        }
    }

    std::optional<KeyPosition> positionOf(KeySym keysym) {
        if (std::optional<KeyPosition> position = connection_.layout().find(keysym)) {
            return position;
        }
        const std::optional<KeyCode> spare = spareKeycodeFor(keysym);
        return spare ? std::optional<KeyPosition>{{*spare, false}} : std::nullopt;
    }

    // A keysym no key produces is given a keycode that has none, on both levels so Shift
    // does not matter. Once all spares are taken, the longest-held one is reused.
    std::optional<KeyCode> spareKeycodeFor(KeySym keysym) {
        auto entry = std::ranges::find(mapped_, keysym, &std::pair<KeySym, KeyCode>::first);
        if (entry == mapped_.end()) {
            if (spares_.empty()) {
                return std::nullopt;
            }
            const KeyCode keycode =
                mapped_.size() < spares_.size() ? spares_[mapped_.size()] : mapped_.front().second;
            if (mapped_.size() == spares_.size()) {
                mapped_.erase(mapped_.begin());
            }
            mapped_.emplace_back(keysym, keycode);
            entry = std::prev(mapped_.end());
        }
        // Mapped again until the layout shows it, in case the mapping was changed under us.
        KeySym symbols[] = {keysym, keysym};
        XChangeKeyboardMapping(connection_.display(), entry->second, 2, symbols, 1);
        return entry->second;
    }

    // A string held on a button arrives every tick, so each problem is told once.
    void report(std::string_view keys, std::string_view problem) {
        if (keys == lastReported_) {
            return;
        }
        lastReported_ = keys;
        std::cerr << "kivo: cannot type \"" << keys << "\": " << problem << '\n';
    }

    X11Connection& connection_;
    CharacterKeysyms characters_;
    std::vector<KeyCode> spares_;
    std::vector<std::pair<KeySym, KeyCode>> mapped_;
    std::string lastReported_;
};

}  // namespace

std::unique_ptr<KeySender> makeXTestKeySender(X11Connection& connection) {
    return std::make_unique<XTestKeySender>(connection);
}

}  // namespace kivo
