#include "engine/key_tokens.h"

#include "platform/virtual_key_codes.h"
#include "platform/windows1252.h"

#include <string>

namespace kivo {

namespace {

struct NamedCode {
    int code;
    const char* token;
};

constexpr NamedCode kNamedCodes[] = {
    {vk::kBackspace, "{BackSpace}"},
    {vk::kTab, "{Tab}"},
    {vk::kEnter, "{Enter}"},
    {vk::kShift, "Shift+"},
    {vk::kControl, "Control^"},
    {vk::kAlt, "Alt%"},
    {vk::kEscape, "{Esc}"},
    {vk::kSpace, "Space "},
    {vk::kPageUp, "{PgUp}"},
    {vk::kPageDown, "{PgDn}"},
    {vk::kEnd, "{End}"},
    {vk::kHome, "{Home}"},
    {vk::kLeft, "{Left}"},
    {vk::kUp, "{Up}"},
    {vk::kRight, "{Right}"},
    {vk::kDown, "{Down}"},
    {vk::kPrint, "{Prtsc}"},
    {vk::kPrintScreen, "{Prtsc}"},
    {vk::kPause, "{Pause}"},
    {vk::kCapsLock, "{CapsLock}"},
    {vk::kLeftWindows, "{LWin}"},
    {vk::kRightWindows, "{RWin}"},
    {vk::kMenu, "{Apps}"},
    {vk::kNumLock, "{NumLock}"},
    {vk::kScrollLock, "{ScrollLock}"},
    {vk::kInsert, "{Insert}"},
    {vk::kDelete, "{Delete}"},
    {vk::kHelp, "{Help}"},
    {vk::kKeypadMultiply, "{Multiply}"},
    {vk::kKeypadAdd, "{Add}"},
    {vk::kKeypadSeparator, "{|}"},
    {vk::kKeypadSubtract, "{Subtract}"},
    {vk::kKeypadDecimal, "{Decimal}"},
    {vk::kKeypadDivide, "{Divide}"},
    {vk::kSemicolon, "{;}"},
    {vk::kEquals, "{=}"},
    {vk::kComma, "{,}"},
    {vk::kMinus, "{-}"},
    {vk::kPeriod, "{.}"},
    {vk::kSlash, "{/}"},
    {vk::kOem3, "{'}"},
    {vk::kOpenBracket, "{[}"},
    {vk::kBackslash, "{\\}"},
    {vk::kCloseBracket, "{]}"},
    {vk::kOem7, "{#}"},
};

constexpr int kFunctionKeys = 16;
constexpr int kLastByteCode = 255;

}  // namespace

void KeyNameTable::fill()
{
    for (const auto& [code, token] : kNamedCodes)
        slots_[static_cast<std::size_t>(code)] = token;
    for (int digit = 0; digit <= 9; ++digit)
        slots_[static_cast<std::size_t>(vk::kKeypad0 + digit)] = "{Numpad" + std::to_string(digit) + "}";
    for (int key = 1; key <= kFunctionKeys; ++key)
        slots_[static_cast<std::size_t>(vk::kF1 + key - 1)] = "{F" + std::to_string(key) + "}";
}

std::string KeyNameTable::tokenForCode(int code) const
{
    const std::string& name = slot(code);
    if (!name.empty())
        return name;
    // Captions are Windows-1252 byte strings: the code's own byte is its character. A control
    // byte or one the code page leaves undefined names no key and would corrupt kivo.ini.
    const auto byte = static_cast<char>(code);
    if (code > kLastByteCode || code < ' ' || !windows1252Defines(byte))
        return {};
    return std::string(1, byte);
}

std::string buttonCaption(int index)
{
    return "Button " + std::to_string(index + 1) + ":";
}

std::string composeCaption(int index, std::string_view token)
{
    std::string caption = buttonCaption(index) + "  ";
    caption += token;
    return caption;
}

std::string_view tokenOfCaption(std::string_view caption)
{
    const std::size_t colon = caption.find(": ");
    // Positions as the caption format counts them: 1-based, 0 when there is no ": ".
    const std::size_t position = colon == std::string_view::npos ? 0 : colon + 1;
    const std::size_t start = position + 2;
    if (start >= caption.size())
        return {};
    return caption.substr(start);
}

std::string_view textToSend(std::string_view token)
{
    if (token.size() <= 1 || token.front() == '{')
        return token;
    return token.substr(token.size() - 1);
}

}  // namespace kivo
