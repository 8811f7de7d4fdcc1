#pragma once

#include "platform/key_string.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
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
    // Whether tap() lets the key go at once, as a key stroke does, or keeps it down with the
    // rest until the holder ends, as a key held on the keyboard.
    enum class Taps { Stroke, Hold };

    explicit HeldKeys(KeySwitch& keys, Taps taps = Taps::Stroke) : keys_(keys), taps_(taps) {}
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
    Taps taps_;
    std::vector<unsigned> held_;
};

// Counts the holders of each key, so that a key two held strings share (Shift, or an arrow the
// stick and the button both hold) goes up only when the last of them lets go.
class SharedKeySwitch final : public KeySwitch {
public:
    explicit SharedKeySwitch(KeySwitch& keys) : keys_(keys) {}
    void key(unsigned code, bool down) override;

private:
    KeySwitch& keys_;
    std::map<unsigned, int> holders_;
};

// Key strings held down until they are let go, each by the very keys it pressed, so that a
// keyboard layout changed in between cannot leave a key down.
class HeldKeyStrings {
public:
    explicit HeldKeyStrings(KeySwitch& keys) : shared_(keys) {}
    ~HeldKeyStrings() { releaseAll(); }
    HeldKeyStrings(const HeldKeyStrings&) = delete;
    HeldKeyStrings& operator=(const HeldKeyStrings&) = delete;

    // Unless the string is held already, gives pressStrokes a holder that keeps its keys down.
    void press(const KeyString& keys, const std::function<void(HeldKeys&)>& pressStrokes);
    void release(const KeyString& keys);
    void releaseAll();

private:
    SharedKeySwitch shared_;
    std::vector<std::pair<std::string, std::unique_ptr<HeldKeys>>> held_;
};

}  // namespace kivo
