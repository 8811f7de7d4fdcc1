#pragma once

#include <string>
#include <string_view>

namespace kivo {

enum class ByteOrder { Little, Big };

// Conversions at the edge of a UTF-16 profile file. Its text is kept as UTF-8 in between, and
// a lone surrogate as the three bytes UTF-8 would give it, so that lines Kivo does not rewrite
// go back to the file exactly as they came. An odd last byte is no character and is dropped.
std::string utf8FromUtf16(std::string_view bytes, ByteOrder order);
std::string utf16FromUtf8(std::string_view text, ByteOrder order);

}  // namespace kivo
