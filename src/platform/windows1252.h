#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kivo {

// Captions, tokens and kivo.ini values are Windows-1252 bytes from end to end; only what shows
// them to a person, or types them, needs their characters. The five bytes the code page leaves
// undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) stand for the control characters of the same
// number, as Windows converts them, so that every byte comes back as it went; being controls,
// they are no character a key types.

char32_t unicodeFromWindows1252(char byte);
// The byte for a character, or nothing when the code page lacks it.
std::optional<char> windows1252FromUnicode(char32_t c);
// False for the five undefined bytes.
bool windows1252Defines(char byte);

std::string utf8FromWindows1252(std::string_view bytes);
// As utf8FromWindows1252, with each undefined byte named ("\x81"), where a terminal would show
// nothing.
std::string readableFromWindows1252(std::string_view bytes);

}  // namespace kivo
