#pragma once

#include "platform/joystick_records.h"
#include "platform/key_string.h"

#include <array>
#include <cstdint>
#include <string>

namespace kivo {

// A platform's native handle of a top-level window (an X window id, an HWND); 0 is none.
using WindowHandle = std::uintptr_t;

// One byte per virtual-key code: bit 128 while the key is down, bit 1 while it is toggled on.
using KeyboardState = std::array<std::uint8_t, 256>;

class Joystick {
public:
    virtual ~Joystick() = default;
    // Fills the record for the joystick with this id; when none answers, wNumButtons is 0.
    virtual bool capabilities(unsigned deviceId, JOYCAPS& caps) = 0;
    // Reads the position; a failed read returns false and leaves the record as it was.
    virtual bool position(unsigned deviceId, JOYINFOEX& info) = 0;
};

class Keyboard {
public:
    virtual ~Keyboard() = default;
    // Fills one byte per virtual-key code as the keyboard stands now; false when it cannot be read.
    virtual bool state(KeyboardState& keys) = 0;
    // The token for a code on the user's keyboard layout, where the key-name table's token
    // would name another key than the one the code stands for; empty where the table's holds.
    virtual std::string tokenOnLayout(std::uint8_t /*code*/) { return {}; }
};

class ForegroundWindow {
public:
    virtual ~ForegroundWindow() = default;
    // The top-level window that receives the user's keys now; 0 when there is none.
    virtual WindowHandle current() = 0;
};

class KeySender {
public:
    virtual ~KeySender() = default;
    // Types a string in the key-string notation into the window with the input focus,
    // without waiting for it to be processed; nothing stays held afterwards.
    virtual void send(const KeyString& keys) = 0;
    // Holds the string's keys down, each after the modifiers it names, until release() is given
    // the same string; a string held already stays as it is. Where the desktop repeats a held key
    // it repeats these as it repeats a key held on the keyboard.
    virtual void press(const KeyString& keys) = 0;
    // Lets go of a held string, its key before its modifiers; one not held sends nothing.
    virtual void release(const KeyString& keys) = 0;
};

// The services the engine calls, owned by whoever runs the program.
struct InputServices {
    Joystick& joystick;
    Keyboard& keyboard;
    ForegroundWindow& foreground;
    KeySender& sender;
};

}  // namespace kivo
