#pragma once

#include <windows.h>

namespace kivo {

// Marks the input records Kivo sends (their dwExtraInfo), so that its keyboard state can tell
// Kivo's own keys from the user's. Wine hands injected keys to raw input with the keyboard's
// own device handle, not the null handle Windows gives them; the mark arrives either way.
inline constexpr ULONG_PTR kOwnInputTag = 0x4B69766F;

}  // namespace kivo
