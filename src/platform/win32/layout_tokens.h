#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace kivo {

// The token of a key that types a character, by what it types on the layout (with AltGr held,
// where it types something then): the character where the key-name table's token would type
// another key ("ü" for the German layout's VK_OEM_1, "{&}" for the French one's VK_1), its scan
// code ("{SC01E}") where Windows-1252 lacks the character; empty where the table's token types
// this same key (the capital letters, the US layout's punctuation) and for other keys.
std::string characterKeyToken(std::uint8_t virtualKey, bool altGr, HKL layout);

// The key typing a character by itself (0), with Shift (1) or with AltGr (6), in the form
// VkKeyScanEx gives: the modifiers in the high byte. Found by what each key types, which Wine's
// VkKeyScanEx does not do for characters outside the program's Unix code page; -1 for none.
SHORT keyTyping(char32_t character, HKL layout);

// A dead key types its own character only when pressed twice.
bool isDeadKey(std::uint8_t virtualKey, HKL layout);

}  // namespace kivo
