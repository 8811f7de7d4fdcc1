#pragma once

#include <windows.h>

#include <string_view>

namespace kivo {

// Runs the thread's messages until the window logic leaves the loop; returns the exit status
// it left with. Tab and the other dialog keys move the focus among `form`'s controls.
int runMessageLoop(HWND form);

// Reports what failed with the reason Windows gives for it.
void reportWindowsFailure(std::string_view what);
// Says what Windows would not make, and why, and has the message loop end with a failure as
// soon as it runs: without its window or Timer1 Kivo has nothing to do.
void failToStart(std::string_view what);

}  // namespace kivo
