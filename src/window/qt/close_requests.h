#pragma once

#include "window/qt/form1.h"

namespace kivo {

// Closes the window for the system, so the captions are saved, when the desktop session ends
// or when the event loop is asked to quit.
void closeOnSessionEnd(Form1& window);

}  // namespace kivo
