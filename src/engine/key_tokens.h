#pragma once

#include <array>
#include <string>
#include <string_view>

namespace kivo {

inline constexpr int kKeyCodeSlots = 257;

// Readable names of virtual-key codes, as shown in the button captions. Keys that type no
// character, or whose code's character another key types, are named so that the name types that
// same key back: the keypad ("{Numpad1}", where stored captions' "{1}" still types a 1),
// Print, Pause, the Windows and menu keys, the lock keys.
class KeyNameTable {
public:
    void fill();
    // The table's name for a code, or the one Windows-1252 character whose byte is the code;
    // empty where that byte is a control byte or undefined.
    std::string tokenForCode(int code) const;
    const std::string& slot(int code) const { return slots_.at(static_cast<std::size_t>(code)); }

private:
    std::array<std::string, kKeyCodeSlots> slots_;
};

// "Button " + (index + 1) + ":", the start of every button label's caption.
std::string buttonCaption(int index);
// The button caption, two blanks and the token.
std::string composeCaption(int index, std::string_view token);
// The caption from three characters after its first ": " (or from its third character when there is none).
std::string_view tokenOfCaption(std::string_view caption);
// What a held button types for its token: the token itself when it is one character or
// starts with "{", otherwise its last character (so "Shift+" types "+").
std::string_view textToSend(std::string_view token);

}  // namespace kivo
