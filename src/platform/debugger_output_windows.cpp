#include "platform/debugger_output.h"

#include <windows.h>

#include <string>

namespace kivo {

void alsoToDebugger(std::string_view line)
{
    OutputDebugStringA(std::string(line).c_str());
}

}  // namespace kivo
