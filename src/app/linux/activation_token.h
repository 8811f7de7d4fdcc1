#pragma once

#include <string>

namespace kivo {

// The token that lets the desktop bring a running Kivo's window to the front for this start: the
// one its launcher gave it (XDG_ACTIVATION_TOKEN on Wayland, DESKTOP_STARTUP_ID on X11), or else
// in a Wayland session one asked of the compositor; empty when there is none.
std::string launchActivationToken();

}  // namespace kivo
