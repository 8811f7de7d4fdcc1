#pragma once

#include "platform/xkb/virtual_keys.h"

#include <X11/Xlib.h>

#include <optional>
#include <unordered_map>
#include <vector>

namespace kivo {

// Where a keysym sits on the keyboard: its keycode, whether Shift or AltGr is needed for it,
// and whether it is a dead key's character, which the key types only when pressed twice.
struct KeyPosition {
    KeyCode keycode = 0;
    bool shifted = false;
    bool levelThree = false;
    bool dead = false;

    bool operator==(const KeyPosition&) const = default;
};

// A snapshot of the server's keyboard mapping and lock-light indicators, read in one go and
// re-read when the mapping changes, so lookups on every tick cost no round trip.
class KeyboardLayout {
public:
    static KeyboardLayout read(Display* display);

    // The key producing the keysym without Shift, or else with Shift, or else as a dead key,
    // or else with AltGr; none when no key does.
    std::optional<KeyPosition> find(KeySym keysym) const;
    const VirtualKeyTable& virtualKeys() const { return virtualKeys_; }
    // Keycodes without any keysym, free to be given one.
    const std::vector<KeyCode>& unusedKeycodes() const { return unused_; }

    // Indicator bits (XKB) of the three lock lights; 0 when the keyboard has no such light.
    unsigned capsLockLight() const { return capsLockLight_; }
    unsigned numLockLight() const { return numLockLight_; }
    unsigned scrollLockLight() const { return scrollLockLight_; }

private:
    std::unordered_map<KeySym, KeyPosition> positions_;
    VirtualKeyTable virtualKeys_;
    std::vector<KeyCode> unused_;
    unsigned capsLockLight_ = 0;
    unsigned numLockLight_ = 0;
    unsigned scrollLockLight_ = 0;
};

}  // namespace kivo
