#pragma once

#include <vector>

namespace kivo {

// Presses and releases keys by a platform's own key code: an X keycode, an evdev code.
class KeySwitch {
public:
    virtual ~KeySwitch() = default;
    virtual void key(unsigned code, bool down) = 0;
};

// The keys held around one key stroke, released last pressed first when the stroke ends,
// however it ends, so that no key stays down.
class HeldKeys {
public:
    explicit HeldKeys(KeySwitch& keys) : keys_(keys) {}
    ~HeldKeys();
    HeldKeys(const HeldKeys&) = delete;
    HeldKeys& operator=(const HeldKeys&) = delete;

    // Presses the key unless it is held already.
    void press(unsigned code);
    // Presses and releases a key while the held ones stay down. A dead key is tapped twice, which
    // gives its own character: once would leave the game's text input waiting for the key after it.
    void tap(unsigned code, bool dead = false);

private:
    KeySwitch& keys_;
    std::vector<unsigned> held_;
};

}  // namespace kivo
