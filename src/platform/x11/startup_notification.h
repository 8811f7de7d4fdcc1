#pragma once

#include <xcb/xcb.h>

#include <string>

namespace kivo {

// Acts on a launcher's startup id (DESKTOP_STARTUP_ID) for a window already shown, as Qt does only
// for a window it shows for the first time: ends the launch's busy feedback, and asks the window
// manager to activate the window at the launch's time, which its focus-stealing prevention trusts
// more than the time of Kivo's last event. The time is left out when the id has none.
void activateForStartup(xcb_connection_t* connection, xcb_window_t window, const std::string& startupId);

}  // namespace kivo
