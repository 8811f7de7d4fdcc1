#pragma once

#include "platform/key_string.h"

#include <cstdint>

namespace kivo {

// The virtual-key code of a key the notation names in braces.
std::uint8_t virtualKeyFor(NamedKey key);

// Keys that sit apart from the numeric keypad and share scan codes with its keys; their
// input records need the extended flag, or an arrow arrives as a keypad key.
bool isExtendedKey(std::uint8_t virtualKey);

}  // namespace kivo
