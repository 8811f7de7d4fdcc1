#include "platform/key_string.h"

#include "platform/ascii_case.h"
#include "platform/windows1252.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <utility>

namespace kivo {
namespace {

constexpr std::array<std::pair<std::string_view, NamedKey>, 25> kNames{{
    {"BACKSPACE", NamedKey::Backspace},
    {"BS", NamedKey::Backspace},
    {"BKSP", NamedKey::Backspace},
    {"TAB", NamedKey::Tab},
    {"ENTER", NamedKey::Enter},
    {"ESC", NamedKey::Escape},
    {"PGUP", NamedKey::PageUp},
    {"PGDN", NamedKey::PageDown},
    {"END", NamedKey::End},
    {"HOME", NamedKey::Home},
    {"LEFT", NamedKey::Left},
    {"UP", NamedKey::Up},
    {"RIGHT", NamedKey::Right},
    {"DOWN", NamedKey::Down},
    {"PRTSC", NamedKey::PrintScreen},
    {"INSERT", NamedKey::Insert},
    {"INS", NamedKey::Insert},
    {"DELETE", NamedKey::Delete},
    {"DEL", NamedKey::Delete},
    {"HELP", NamedKey::Help},
    {"BREAK", NamedKey::Break},
    {"CAPSLOCK", NamedKey::CapsLock},
    {"NUMLOCK", NamedKey::NumLock},
    {"SCROLLLOCK", NamedKey::ScrollLock},
    {"PAUSE", NamedKey::Pause},
}};

// Set 1 scan codes, 0x100 and up for the E0-prefixed keys; the names as captions show them.
constexpr std::pair<std::string_view, std::uint16_t> kPlaces[] = {
    {"Numpad0", 0x52},  {"Numpad1", 0x4f}, {"Numpad2", 0x50},  {"Numpad3", 0x51},      {"Numpad4", 0x4b},
    {"Numpad5", 0x4c},  {"Numpad6", 0x4d}, {"Numpad7", 0x47},  {"Numpad8", 0x48},      {"Numpad9", 0x49},
    {"Multiply", 0x37}, {"Add", 0x4e},     {"Subtract", 0x4a}, {"Decimal", 0x53},      {"Divide", 0x135},
    {"LWin", 0x15b},    {"RWin", 0x15c},   {"Apps", 0x15d},    {"NumpadEnter", 0x11c},
};

// Three hex digits, as "{SC01E}": the first is 1 for the E0-prefixed keys.
constexpr std::size_t kScanCodeDigits = 3;
constexpr std::uint16_t kLastScanCode = 0x1ff;

std::optional<NamedKey> functionKeyFor(std::string_view name)
{
    if (name.size() < 2 || asciiUpper(name[0]) != 'F' || name[1] == '0') {
        return std::nullopt;
    }
    int number = 0;
    const char* end = name.data() + name.size();
    auto [stop, error] = std::from_chars(name.data() + 1, end, number);
    if (error != std::errc{} || stop != end || number < 1 || number > kFunctionKeyCount) {
        return std::nullopt;
    }
    return functionKey(number);
}

bool isModifierPrefix(char c)
{
    return c == '+' || c == '^' || c == '%';
}

void addModifier(KeyModifiers& modifiers, char prefix)
{
    if (prefix == '+') {
        modifiers.shift = true;
    } else if (prefix == '^') {
        modifiers.control = true;
    } else {
        modifiers.alt = true;
    }
}

}  // namespace

KeyStroke KeyStroke::named(NamedKey key, KeyModifiers modifiers)
{
    return {Kind::Named, key, 0, modifiers};
}

KeyStroke KeyStroke::typed(char character, KeyModifiers modifiers)
{
    return {Kind::Character, NamedKey::Enter, character, modifiers};
}

KeyStroke KeyStroke::modifiersOnly(KeyModifiers modifiers)
{
    return {Kind::ModifiersOnly, NamedKey::Enter, 0, modifiers};
}

KeyStroke KeyStroke::place(std::uint16_t scanCode, KeyModifiers modifiers)
{
    return {Kind::ScanCode, NamedKey::Enter, 0, modifiers, scanCode};
}

std::string characterToken(char32_t character)
{
    const std::optional<char> byte = character < U' ' ? std::nullopt : windows1252FromUnicode(character);
    if (!byte) {
        return {};
    }
    const bool alphanumeric = (character >= U'0' && character <= U'9') || (character >= U'A' && character <= U'Z') ||
                              (character >= U'a' && character <= U'z');
    const bool punctuation = character < 0x7f && !alphanumeric;
    return punctuation ? std::string{'{', *byte, '}'} : std::string(1, *byte);
}

std::string scanCodeToken(std::uint16_t scanCode)
{
    for (const auto& [name, place] : kPlaces) {
        if (place == scanCode) {
            return "{" + std::string(name) + "}";
        }
    }
    std::array<char, 8> digits{};
    const auto end = std::to_chars(digits.begin(), digits.end(), scanCode, 16).ptr;
    std::string hex(digits.begin(), end);
    for (char& c : hex)
        c = asciiUpper(c);
    return "{SC" + std::string(kScanCodeDigits - std::min(hex.size(), kScanCodeDigits), '0') + hex + "}";
}

std::optional<std::uint16_t> scanCodeFor(std::string_view name)
{
    for (const auto& [known, scanCode] : kPlaces) {
        if (equalIgnoringAsciiCase(known, name)) {
            return scanCode;
        }
    }
    if (name.size() != 2 + kScanCodeDigits || asciiUpper(name[0]) != 'S' || asciiUpper(name[1]) != 'C') {
        return std::nullopt;
    }
    std::uint16_t scanCode = 0;
    const char* end = name.data() + name.size();
    auto [stop, error] = std::from_chars(name.data() + 2, end, scanCode, 16);
    if (error != std::errc{} || stop != end || scanCode == 0 || scanCode > kLastScanCode) {
        return std::nullopt;
    }
    return scanCode;
}

std::optional<NamedKey> namedKeyFor(std::string_view name)
{
    for (const auto& [known, key] : kNames) {
        if (equalIgnoringAsciiCase(known, name)) {
            return key;
        }
    }
    return functionKeyFor(name);
}

KeyString::KeyString(std::string_view text) : text_(text), error_(parse())
{
    if (!error_.empty())
        strokes_.clear();
}

std::string KeyString::parse()
{
    const std::string_view text = text_;
    KeyModifiers pending;
    std::size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (isModifierPrefix(c)) {
            addModifier(pending, c);
            ++i;
            continue;
        }
        if (c != '{') {
            strokes_.push_back(KeyStroke::typed(c, pending));
            ++i;
        } else if (i + 2 < text.size() && text[i + 2] == '}') {
            // One character in braces is typed literally, even "{", "}" and the prefixes.
            strokes_.push_back(KeyStroke::typed(text[i + 1], pending));
            i += 3;
        } else {
            const std::size_t close = text.find('}', i + 1);
            if (close == std::string_view::npos) {
                return "'{' at position " + std::to_string(i + 1) + " has no closing '}'";
            }
            const std::string_view name = text.substr(i + 1, close - i - 1);
            if (const std::optional<NamedKey> key = namedKeyFor(name)) {
                strokes_.push_back(KeyStroke::named(*key, pending));
            } else if (const std::optional<std::uint16_t> scanCode = scanCodeFor(name)) {
                strokes_.push_back(KeyStroke::place(*scanCode, pending));
            } else {
                return "no key is named \"" + std::string(name) + "\"";
            }
            i = close + 1;
        }
        pending = {};
    }
    if (pending.any()) {
        strokes_.push_back(KeyStroke::modifiersOnly(pending));
    }
    return {};
}

}  // namespace kivo
