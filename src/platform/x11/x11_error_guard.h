#pragma once

#include <X11/Xlib.h>

namespace kivo {

// Xlib's default error handler ends the process. Windows come and go between an event and
// the request that follows it, so errors on a guarded connection are ignored instead (the
// failing call reports its failure); other connections keep the handler they had.
void guardAgainstErrors(Display* display);
void stopGuarding(Display* display);

}  // namespace kivo
