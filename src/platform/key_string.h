#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kivo {

// Keys the key-string notation names in braces.
enum class NamedKey : std::uint8_t {
    Backspace,
    Tab,
    Enter,
    Escape,
    PageUp,
    PageDown,
    End,
    Home,
    Left,
    Up,
    Right,
    Down,
    PrintScreen,
    Insert,
    Delete,
    Help,
    Break,
    CapsLock,
    NumLock,
    ScrollLock,
    Pause,
    F1,
    F16 = F1 + 15,
};

inline constexpr int kFunctionKeyCount = 16;

// Function key n (1 to 16).
constexpr NamedKey functionKey(int n)
{
    return static_cast<NamedKey>(static_cast<int>(NamedKey::F1) + n - 1);
}

// The named key a brace name stands for, matched without regard to case.
std::optional<NamedKey> namedKeyFor(std::string_view name);

// The token of a key typing this character: its Windows-1252 byte, in braces where it is ASCII
// punctuation ("{&}", the notation's prefixes among them); empty when the code page lacks it.
std::string characterToken(char32_t character);

// The token of the key at a scan code, "{SC01E}", and the scan code such a brace name gives;
// also for the names of keys typed by their place, which no character stands for and whose
// virtual key another key shares: the keypad's ("{Numpad1}", "{NumpadEnter}"), the Windows keys
// and the menu key ("{LWin}", "{RWin}", "{Apps}").
std::string scanCodeToken(std::uint16_t scanCode);
std::optional<std::uint16_t> scanCodeFor(std::string_view name);

// Shift, Control and Alt held around a key.
struct KeyModifiers {
    bool shift = false;
    bool control = false;
    bool alt = false;

    bool any() const { return shift || control || alt; }
    bool operator==(const KeyModifiers&) const = default;
};

// One key typed with its modifiers held around it. Modifiers with no key after them
// are tapped on their own (ModifiersOnly), so "+" alone taps Shift. A key whose character no
// caption can hold (a Cyrillic letter, say) goes by its place on the keyboard, its scan code.
struct KeyStroke {
    enum class Kind : std::uint8_t { Named, Character, ModifiersOnly, ScanCode };

    Kind kind = Kind::ModifiersOnly;
    NamedKey key = NamedKey::Enter;  // when Named
    char character = 0;              // when Character: a Windows-1252 byte
    KeyModifiers modifiers;
    std::uint16_t scanCode = 0;  // when ScanCode: set 1, 0x100 and up for the E0-prefixed keys

    static KeyStroke named(NamedKey key, KeyModifiers modifiers = {});
    static KeyStroke typed(char character, KeyModifiers modifiers = {});
    static KeyStroke modifiersOnly(KeyModifiers modifiers);
    static KeyStroke place(std::uint16_t scanCode, KeyModifiers modifiers = {});

    bool operator==(const KeyStroke&) const = default;
};

// A key string and its strokes, parsed once however often it is typed: a held button types
// the same one on every tick. A malformed string has no strokes at all, so a sender never types
// half of it.
class KeyString {
public:
    KeyString() = default;
    explicit KeyString(std::string_view text);

    const std::string& text() const { return text_; }
    const std::vector<KeyStroke>& strokes() const { return strokes_; }
    // What is wrong with the string; empty when it is well formed.
    const std::string& error() const { return error_; }

private:
    // Adds the strokes; returns what is wrong with the string, or nothing.
    std::string parse();

    std::string text_;
    std::vector<KeyStroke> strokes_;
    std::string error_;
};

}  // namespace kivo
