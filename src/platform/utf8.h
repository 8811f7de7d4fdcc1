#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kivo {

// Kivo's messages, and kivo.ini's text between a UTF-16 file and the captions, are UTF-8.
void appendUtf8(std::string& out, char32_t c);

// The character at text[at], moving at past it. The text comes from Kivo's own conversions, so
// each sequence is whole; a stray byte stands for itself.
char32_t nextUtf8Character(std::string_view text, std::size_t& at);

}  // namespace kivo
