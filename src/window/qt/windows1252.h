#pragma once

#include <QString>

#include <string_view>

namespace kivo {

// Captions are Windows-1252 bytes everywhere else; only the display shows them as Unicode.
QString fromWindows1252(std::string_view bytes);

}  // namespace kivo
