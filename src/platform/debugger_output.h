#pragma once

#include <string_view>

namespace kivo {

// Hands a message line to the platform's debugger output as well, where there is one: a
// Windows program has no standard error when it is started from Explorer.
void alsoToDebugger(std::string_view line);

}  // namespace kivo
