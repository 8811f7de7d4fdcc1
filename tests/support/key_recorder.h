#pragma once

#include <X11/Xlib.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace kivo::test_support {

struct RecordedKey {
    bool pressed = false;
    KeyCode keycode = 0;
    KeySym keysym = NoSymbol;  // as the receiver sees it, with Shift applied
    unsigned state = 0;        // modifier state at the event

    bool operator==(const RecordedKey&) const = default;
};

// A separate X client with a window of its own that records the key events it receives,
// as the game receiving Kivo's keys would.
class KeyRecorder {
public:
    // Opens its own connection and maps its top-level window. Throws std::runtime_error on failure.
    explicit KeyRecorder(const std::string& displayName);
    ~KeyRecorder();
    KeyRecorder(const KeyRecorder&) = delete;
    KeyRecorder& operator=(const KeyRecorder&) = delete;

    Window window() const { return window_; }
    Display* display() const { return display_; }

    void takeFocus();
    // Gives the keyboard focus to another window once it is viewable, as a window manager maps a
    // new window a little later; false when it never is.
    bool giveFocusTo(Window window);
    // Waits until at least `count` key events have been recorded in all, or the timeout passes.
    const std::vector<RecordedKey>& waitForKeys(std::size_t count, std::chrono::milliseconds timeout);
    // Reads until `enough` says so of all recorded, or the end-to-end tests' deadline passes.
    const std::vector<RecordedKey>& waitUntil(const std::function<bool(const std::vector<RecordedKey>&)>& enough);
    // Keeps reading for the quiet span, for checks that nothing more arrives.
    const std::vector<RecordedKey>& settle();
    // Reads until a quiet span passes with nothing new; false when keys still come at the deadline.
    bool waitUntilQuiet();
    void clear() { keys_.clear(); }
    // Whether the server still sees any key down.
    bool anyKeyDown() const;

private:
    void readAvailable();

    Display* display_ = nullptr;
    Window window_ = 0;
    int xkbEventBase_ = -1;
    std::vector<RecordedKey> keys_;
};

// The keysyms of the non-modifier keys pressed, in order.
std::vector<KeySym> typedKeysyms(const std::vector<RecordedKey>& keys);
// How many times a non-modifier key with this keysym was pressed.
std::size_t pressesOf(const std::vector<RecordedKey>& keys, KeySym keysym);
// For waitUntil: at least `count` presses of the key.
std::function<bool(const std::vector<RecordedKey>&)> pressed(KeySym keysym, std::size_t count);
// Whether each press is followed by a release of the same keycode.
bool everyPressReleased(const std::vector<RecordedKey>& keys);

}  // namespace kivo::test_support
