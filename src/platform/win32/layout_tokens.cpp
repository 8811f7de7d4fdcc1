#include "platform/win32/layout_tokens.h"

#include "platform/key_string.h"

#include <array>
#include <optional>
#include <utility>

namespace kivo {
namespace {

constexpr std::uint8_t kFirstOem = 0xba;
constexpr std::uint8_t kLastOemBeforeBrackets = 0xc0;
constexpr std::uint8_t kOpenBracket = 0xdb;
constexpr std::uint8_t kOem8 = 0xdf;
constexpr std::uint8_t kOem102 = 0xe2;
// Asks ToUnicodeEx to leave the keyboard's dead-key state as it was.
constexpr UINT kKeepKeyboardState = 4;
constexpr UINT kDeadKeyBit = 0x80000000U;

// The keys that type characters: letters, digits and the OEM punctuation keys.
bool typesCharacters(std::uint8_t virtualKey)
{
    return (virtualKey >= '0' && virtualKey <= '9') || (virtualKey >= 'A' && virtualKey <= 'Z') ||
           (virtualKey >= kFirstOem && virtualKey <= kLastOemBeforeBrackets) ||
           (virtualKey >= kOpenBracket && virtualKey <= kOem8) || virtualKey == kOem102;
}

bool isAsciiLetter(char32_t c)
{
    return (c >= U'a' && c <= U'z') || (c >= U'A' && c <= U'Z');
}

// What the key types by itself, or with AltGr (Control and Alt) held; nothing when it types
// no single character that way.
std::optional<char32_t> typed(std::uint8_t virtualKey, UINT scanCode, bool altGr, bool& dead, HKL layout)
{
    std::array<BYTE, 256> state{};
    if (altGr) {
        state[VK_CONTROL] = state[VK_MENU] = 0x80;
    }
    std::array<wchar_t, 4> text{};
    const int count = ToUnicodeEx(virtualKey, scanCode, state.data(), text.data(), static_cast<int>(text.size()),
                                  kKeepKeyboardState, layout);
    dead = count < 0;
    if (count == 0 || count > 1) {
        return std::nullopt;
    }
    return static_cast<char32_t>(text[0]);
}

}  // namespace

std::string characterKeyToken(std::uint8_t virtualKey, bool altGr, HKL layout)
{
    if (!typesCharacters(virtualKey)) {
        return {};
    }
    const UINT scanCode = MapVirtualKeyExW(virtualKey, MAPVK_VK_TO_VSC_EX, layout);
    bool dead = false;
    std::optional<char32_t> character = altGr ? typed(virtualKey, scanCode & 0xffU, true, dead, layout) : std::nullopt;
    const bool withAltGr = character.has_value();
    if (!character) {
        character = typed(virtualKey, scanCode & 0xffU, false, dead, layout);
    }
    if (character && !dead && !withAltGr) {
        // The table's capital letter or digit types this same key.
        if (isAsciiLetter(*character) || *character == virtualKey) {
            return {};
        }
    }
    if (std::string token = character ? characterToken(*character) : std::string{}; !token.empty()) {
        return token;
    }
    if ((scanCode & 0xffU) == 0) {
        return {};
    }
    const bool extended = (scanCode >> 8) == 0xe0;
    return scanCodeToken(static_cast<std::uint16_t>((extended ? 0x100U : 0U) | (scanCode & 0xffU)));
}

SHORT keyTyping(char32_t character, HKL layout)
{
    constexpr std::pair<std::uint8_t, std::uint8_t> kLevels[] = {{0, 0}, {VK_SHIFT, 1}, {VK_CONTROL, 6}};
    for (const auto& [held, modifiers] : kLevels) {
        std::array<BYTE, 256> state{};
        if (held != 0) {
            state[held] = 0x80;
        }
        if (held == VK_CONTROL) {
            state[VK_MENU] = 0x80;
        }
        for (unsigned virtualKey = 1; virtualKey < 0xff; ++virtualKey) {
            if (!typesCharacters(static_cast<std::uint8_t>(virtualKey))) {
                continue;
            }
            std::array<wchar_t, 4> text{};
            const UINT scanCode = MapVirtualKeyExW(virtualKey, MAPVK_VK_TO_VSC, layout);
            const int count = ToUnicodeEx(virtualKey, scanCode, state.data(), text.data(),
                                          static_cast<int>(text.size()), kKeepKeyboardState, layout);
            if (count != 0 && static_cast<char32_t>(text[0]) == character) {
                return static_cast<SHORT>((modifiers << 8) | virtualKey);
            }
        }
    }
    return -1;
}

bool isDeadKey(std::uint8_t virtualKey, HKL layout)
{
    return (MapVirtualKeyExW(virtualKey, MAPVK_VK_TO_CHAR, layout) & kDeadKeyBit) != 0;
}

}  // namespace kivo
