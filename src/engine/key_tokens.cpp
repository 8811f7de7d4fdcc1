#include "engine/key_tokens.h"

#include <string>

namespace kivo {

namespace {

struct NamedCode {
    int code;
    const char* token;
};

constexpr NamedCode kNamedCodes[] = {
    {8, "{BackSpace}"}, {9, "{Tab}"},   {13, "{Enter}"}, {16, "Shift+"}, {17, "Control^"}, {18, "Alt%"},
    {27, "{Esc}"},      {32, "Space "}, {33, "{PgUp}"},  {34, "{PgDn}"}, {35, "{End}"},    {36, "{Home}"},
    {37, "{Left}"},     {38, "{Up}"},   {39, "{Right}"}, {40, "{Down}"}, {42, "{Prtsc}"},  {45, "{Insert}"},
    {46, "{Delete}"},   {47, "{Help}"}, {106, "{*}"},    {107, "{+}"},   {108, "{|}"},     {109, "{-}"},
    {110, "{.}"},       {111, "{/}"},   {186, "{;}"},    {187, "{=}"},   {188, "{,}"},     {189, "{-}"},
    {190, "{.}"},       {191, "{/}"},   {192, "{'}"},    {219, "{[}"},   {220, "{\\}"},    {221, "{]}"},
    {222, "{#}"},
};

constexpr int kKeypad0 = 96;
constexpr int kF1 = 112;
constexpr int kFunctionKeys = 16;
constexpr int kLastByteCode = 255;

}  // namespace

void KeyNameTable::fill()
{
    for (const auto& [code, token] : kNamedCodes)
        slots_[static_cast<std::size_t>(code)] = token;
    for (int digit = 0; digit <= 9; ++digit)
        slots_[static_cast<std::size_t>(kKeypad0 + digit)] = "{" + std::to_string(digit) + "}";
    for (int key = 1; key <= kFunctionKeys; ++key)
        slots_[static_cast<std::size_t>(kF1 + key - 1)] = "{F" + std::to_string(key) + "}";
}

std::string KeyNameTable::tokenForCode(int code) const
{
    const std::string& name = slot(code);
    if (!name.empty())
        return name;
    // Captions are Windows-1252 byte strings: the code's own byte is its character.
    if (code > kLastByteCode)
        return {};
    return std::string(1, static_cast<char>(code));
}

std::string composeCaption(int index, std::string_view token)
{
    std::string caption = "Button " + std::to_string(index + 1) + ":  ";
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
