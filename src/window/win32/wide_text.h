#pragma once

#include <string>
#include <string_view>

namespace kivo {

// The controls show UTF-16: captions come as Windows-1252 bytes, every other text (the design's,
// questions, messages with their paths) as UTF-8.
std::wstring wideFromWindows1252(std::string_view bytes);
std::wstring wideFromUtf8(std::string_view text);

}  // namespace kivo
