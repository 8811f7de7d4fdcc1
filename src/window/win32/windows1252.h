#pragma once

#include <string>
#include <string_view>

namespace kivo {

// Captions and questions are Windows-1252 bytes; the controls show UTF-16.
std::wstring wideFromWindows1252(std::string_view bytes);

}  // namespace kivo
