#include "platform/messages.h"

#include "platform/debugger_output.h"

#include <iostream>
#include <string>

namespace kivo {

void reportProblem(std::string_view message)
{
    const std::string line = "kivo: " + std::string(message) + '\n';
    std::cerr << line;
    alsoToDebugger(line);
}

std::string quotedPath(const std::filesystem::path& path)
{
    const std::u8string bytes = path.u8string();
    return '"' + std::string(bytes.begin(), bytes.end()) + '"';
}

}  // namespace kivo
