#pragma once

#include "platform/held_keys.h"
#include "platform/input_services.h"
#include "platform/window_input_observer.h"
#include "platform/xkb/xkb_layout.h"

#include <memory>

namespace kivo {

// The keyboard layout that keys are typed on, kept current.
class KeymapSource {
public:
    virtual ~KeymapSource() = default;
    // The layout in use now, with any change announced since the last call taken in.
    virtual const XkbLayout& layout() = 0;
    // A key of Kivo's window typed this keysym: the group in use is one that has it there. A
    // compositor tells only the window with the keyboard which group is in use, and Kivo's own
    // connection never has it.
    virtual void keyTyped(xkb_keycode_t /*keycode*/, xkb_keysym_t /*keysym*/) {}
    // The desktop published which group is in use.
    virtual void groupInUse(xkb_layout_index_t /*group*/) {}
};

// The compositor's keymap, over a Wayland connection of Kivo's own (nullptr: $WAYLAND_DISPLAY).
// Until the seat has a keyboard to announce one, keys go by the keymap that the XKB_DEFAULT_*
// environment names. When no compositor answers, says so on standard error and returns nullptr.
std::unique_ptr<KeymapSource> connectWaylandKeymap(const char* displayName = nullptr);

// A keyboard that the kernel adds through /dev/uinput and the compositor treats as a real one;
// it offers every keyboard key. When it cannot be made, says why on standard error and
// returns nullptr. Keys still down when it goes are released first.
std::unique_ptr<KeySwitch> openUinputKeyboard();
// The same keyboard writing the records that /dev/uinput takes to a descriptor standing in for
// it, for tests and measuring. The descriptor stays the caller's, open while the keyboard lives.
std::unique_ptr<KeySwitch> makeDescriptorKeyboard(int descriptor);

// Types on the keyboard by the keymap the source holds; a character that no key of the
// layout types is skipped and told about on standard error. The source must outlive it.
std::unique_ptr<KeySender> makeUinputKeySender(std::unique_ptr<KeySwitch> keyboard, KeymapSource& keymaps);

// Keyboard state and "in front" from Kivo's own window, for a compositor that tells a client
// nothing of other windows: the toolkit feeds in the window's key events, each with its XKB
// keycode (the evdev code plus 8) and the XKB modifier mask in effect, which holds Caps Lock and
// Num Lock, and its activation. Every key counts as up while the window is not active.
class OwnWindowInput : public Keyboard, public ForegroundWindow, public WindowInputObserver {
public:
    // The keyboard Kivo types on, watched: what it types while the window is active comes
    // back as the window's key events, and those are Kivo's keys, not the user's, so they do
    // not count as down. This input must outlive the keyboard returned.
    virtual std::unique_ptr<KeySwitch> typingInto(std::unique_ptr<KeySwitch> keyboard) = 0;
    // The window reported as the foreground window while it is active (none otherwise); the
    // window comes after the services that it is built over.
    virtual void setWindow(WindowHandle kivoWindow) = 0;
};

std::unique_ptr<OwnWindowInput> makeOwnWindowInput(KeymapSource& keymaps);

}  // namespace kivo
