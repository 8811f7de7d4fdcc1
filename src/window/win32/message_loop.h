#pragma once

#include <windows.h>

namespace kivo {

// Runs the thread's messages until the window logic leaves the loop; returns the exit status
// it left with. Tab and the other dialog keys move the focus among `form`'s controls.
int runMessageLoop(HWND form);

}  // namespace kivo
