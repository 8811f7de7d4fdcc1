#pragma once

#include "platform/held_keys.h"
#include "platform/key_string.h"
#include "platform/key_string_typer.h"
#include "platform/xkb/xkb_layout.h"

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace kivo {

// Types strokes on the layout in use, by evdev codes: a character on the key that types it
// there, with the keys of its level (Shift, AltGr) held around it, a key named by its place on
// that place. A character no key of the layout types is refused, on every edge alike: a key
// remapped for it would be one no game has heard of.
//
// Each stroke's keys are found once for a layout: a held button types the same strokes on
// every tick, and finding them anew each time would cost the most of a tick's typing.
class LayoutTyping {
public:
    // Returns why the stroke was not typed.
    std::string type(const XkbLayout& layout, const KeyStroke& stroke, HeldKeys& held);

private:
    // The keys a stroke presses: the held ones in order, then the one it taps, if any.
    struct StrokeKeys {
        std::vector<unsigned> held;
        bool taps = false;
        unsigned tapped = 0;
        bool dead = false;
        std::string problem;
    };
    static StrokeKeys find(const XkbLayout& layout, const KeyStroke& stroke);

    std::uint64_t layoutSerial_ = 0;
    std::unordered_map<std::uint64_t, StrokeKeys> found_;
};

// What the X11 and the Wayland key senders share: key strings typed through a key switch on the
// layout in use, stroke by stroke, or held down until they are let go.
class LayoutKeyStrings {
public:
    explicit LayoutKeyStrings(KeySwitch& keys) : keys_(keys), holding_(keys) {}

    void send(const XkbLayout& layout, const KeyString& keys);
    void press(const XkbLayout& layout, const KeyString& keys);
    void release(const KeyString& keys) { holding_.release(keys); }
    void releaseAll() { holding_.releaseAll(); }

private:
    KeySwitch& keys_;
    HeldKeyStrings holding_;
    KeyStringTyper typer_;
    LayoutTyping typing_;
};

}  // namespace kivo
