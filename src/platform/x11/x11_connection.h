#pragma once

#include "platform/x11/server_keymap.h"

#include <X11/Xlib.h>

#include <cstdint>

namespace kivo {

// The display connection the X11 services share. It keeps what they need between calls
// current from events read without blocking (mapping and group changes, lock lights, focus moves), so
// the services can answer most calls without a round trip to the server.
class X11Connection {
public:
    // Takes ownership of an open display that has the XKEYBOARD and XInputExtension 2 extensions.
    X11Connection(Display* display, int xkbEventBase, int xinputOpcode);
    ~X11Connection();
    X11Connection(const X11Connection&) = delete;
    X11Connection& operator=(const X11Connection&) = delete;

    Display* display() const { return display_; }
    Window root() const { return root_; }
    Atom activeWindowAtom() const { return activeWindow_; }
    Atom windowManagerCheckAtom() const { return windowManagerCheck_; }

    // Handles every event that has arrived, without waiting for more.
    void readEvents();

    const XkbLayout& layout() { return keymap_.layout(); }
    const ServerKeymap& keymap() const { return keymap_; }
    // The XKB indicators that are lit.
    unsigned litIndicators() const { return litIndicators_; }
    // Grows whenever an event says the input focus or the active window may have moved.
    std::uint64_t focusChanges() const { return focusChanges_; }
    // Grows whenever a key is pressed or released anywhere on the display.
    std::uint64_t keyChanges() const { return keyChanges_; }

private:
    void handle(const XEvent& event);
    void watchFocusOf(Window topLevel);

    Display* display_;
    int xkbEventBase_;
    int xinputOpcode_;
    Window root_;
    Atom activeWindow_;
    Atom windowManagerCheck_;
    ServerKeymap keymap_;
    unsigned litIndicators_ = 0;
    std::uint64_t focusChanges_ = 0;
    std::uint64_t keyChanges_ = 0;
};

}  // namespace kivo
