#include "settings/messages.h"

#include <iostream>

namespace kivo {

void reportProblem(std::string_view message)
{
    std::cerr << "kivo: " << message << '\n';
}

std::string quotedPath(const std::filesystem::path& path)
{
    const std::u8string bytes = path.u8string();
    return '"' + std::string(bytes.begin(), bytes.end()) + '"';
}

}  // namespace kivo
