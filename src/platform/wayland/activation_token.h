#pragma once

#include <string>

namespace kivo {

// An activation token asked of the compositor WAYLAND_DISPLAY names, for a start whose launcher
// gave it none; empty when there is no compositor or it gives none. Without a window or an input
// event to vouch for it, a compositor may still grant it (sway does), or hand out one it will not
// honour.
std::string activationTokenFromCompositor();

}  // namespace kivo
