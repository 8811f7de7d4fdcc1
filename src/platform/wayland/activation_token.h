#pragma once

#include <chrono>
#include <string>

namespace kivo {

// An activation token asked of the compositor WAYLAND_DISPLAY names, for a start whose launcher
// gave it none; empty when there is no compositor or it gives none. Without a window or an input
// event to vouch for it, a compositor may still grant it (sway does), or hand out one it will not
// honour. A compositor that has not given it within the patience gives none.
std::string activationTokenFromCompositor(std::chrono::milliseconds patience);

}  // namespace kivo
