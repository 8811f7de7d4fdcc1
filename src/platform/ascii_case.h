#pragma once

#include <algorithm>
#include <string_view>

namespace kivo {

// Names in kivo.ini and in the key-string notation match without regard to case, and only
// ASCII letters have a case there: other Windows-1252 bytes compare as they are.
constexpr char asciiUpper(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

constexpr bool equalIgnoringAsciiCase(std::string_view a, std::string_view b)
{
    return std::ranges::equal(a, b, [](char x, char y) { return asciiUpper(x) == asciiUpper(y); });
}

}  // namespace kivo
