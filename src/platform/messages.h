#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace kivo {

// Every problem Kivo reports goes through here, as one "kivo: " line on standard error: the
// program never stops to ask about them, so that is where a user or a log can see what
// happened. Wherever else every problem is to show (the debugger's output, say) is added here.
void reportProblem(std::string_view message);

// A path as messages show it: in double quotes, so blanks in it stay visible.
std::string quotedPath(const std::filesystem::path& path);

}  // namespace kivo
