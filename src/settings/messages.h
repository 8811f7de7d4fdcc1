#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace kivo {

// Problems with the settings file go to standard error: the program never stops to
// ask about them, so that is where a user or a log can see what happened.
void reportProblem(std::string_view message);

// A path as messages show it: in double quotes, so blanks in it stay visible.
std::string quotedPath(const std::filesystem::path& path);

}  // namespace kivo
