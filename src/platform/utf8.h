#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace kivo {

// Kivo's messages, and kivo.ini's text between a UTF-16 file and the captions, are UTF-8.
void appendUtf8(std::string& out, char32_t c);

// The character at text[at], moving at past it; nothing, and at moved past the one byte, where no
// well-formed sequence starts, so that no byte after it is lost. Surrogates are taken, as the
// three bytes a lone UTF-16 surrogate is kept as; overlong forms and code points beyond U+10FFFF
// are not.
std::optional<char32_t> nextUtf8Character(std::string_view text, std::size_t& at);

}  // namespace kivo
