#pragma once

#include <cstdint>

// Windows virtual-key codes: the index of a key's byte in the keyboard state, the code the key
// name table is keyed by, and what a Windows key sender puts in its input records. Every
// platform translates its own key codes into these.
namespace kivo::vk {

// Ctrl+Break, the key the notation's {BREAK} names.
inline constexpr std::uint8_t kCancel = 3;
inline constexpr std::uint8_t kBackspace = 8;
inline constexpr std::uint8_t kTab = 9;
inline constexpr std::uint8_t kClear = 12;
inline constexpr std::uint8_t kEnter = 13;
inline constexpr std::uint8_t kShift = 16;
inline constexpr std::uint8_t kControl = 17;
inline constexpr std::uint8_t kAlt = 18;
inline constexpr std::uint8_t kPause = 19;
inline constexpr std::uint8_t kCapsLock = 20;
inline constexpr std::uint8_t kEscape = 27;
inline constexpr std::uint8_t kSpace = 32;
inline constexpr std::uint8_t kPageUp = 33;
inline constexpr std::uint8_t kPageDown = 34;
inline constexpr std::uint8_t kEnd = 35;
inline constexpr std::uint8_t kHome = 36;
inline constexpr std::uint8_t kLeft = 37;
inline constexpr std::uint8_t kUp = 38;
inline constexpr std::uint8_t kRight = 39;
inline constexpr std::uint8_t kDown = 40;
inline constexpr std::uint8_t kSelect = 41;
inline constexpr std::uint8_t kPrint = 42;
inline constexpr std::uint8_t kExecute = 43;
inline constexpr std::uint8_t kPrintScreen = 44;
inline constexpr std::uint8_t kInsert = 45;
inline constexpr std::uint8_t kDelete = 46;
inline constexpr std::uint8_t kHelp = 47;
inline constexpr std::uint8_t kLeftWindows = 91;
inline constexpr std::uint8_t kRightWindows = 92;
inline constexpr std::uint8_t kMenu = 93;
inline constexpr std::uint8_t kKeypad0 = 96;
inline constexpr std::uint8_t kKeypadMultiply = 106;
inline constexpr std::uint8_t kKeypadAdd = 107;
inline constexpr std::uint8_t kKeypadSeparator = 108;
inline constexpr std::uint8_t kKeypadSubtract = 109;
inline constexpr std::uint8_t kKeypadDecimal = 110;
inline constexpr std::uint8_t kKeypadDivide = 111;
// F1 to F24 are consecutive.
inline constexpr std::uint8_t kF1 = 112;
inline constexpr std::uint8_t kNumLock = 144;
inline constexpr std::uint8_t kScrollLock = 145;
// The left- and right-hand modifiers, in pairs from left Shift to right Alt.
inline constexpr std::uint8_t kLeftShift = 160;
inline constexpr std::uint8_t kRightShift = 161;
inline constexpr std::uint8_t kLeftControl = 162;
inline constexpr std::uint8_t kRightControl = 163;
inline constexpr std::uint8_t kLeftAlt = 164;
inline constexpr std::uint8_t kRightAlt = 165;
// Punctuation keys; which character each carries depends on the layout.
inline constexpr std::uint8_t kSemicolon = 186;
inline constexpr std::uint8_t kEquals = 187;
inline constexpr std::uint8_t kComma = 188;
inline constexpr std::uint8_t kMinus = 189;
inline constexpr std::uint8_t kPeriod = 190;
inline constexpr std::uint8_t kSlash = 191;
inline constexpr std::uint8_t kOem3 = 192;
inline constexpr std::uint8_t kOpenBracket = 219;
inline constexpr std::uint8_t kBackslash = 220;
inline constexpr std::uint8_t kCloseBracket = 221;
inline constexpr std::uint8_t kOem7 = 222;
inline constexpr std::uint8_t kOem8 = 223;
inline constexpr std::uint8_t kOem102 = 226;

// Key-state bits.
inline constexpr std::uint8_t kStateDown = 0x80;
inline constexpr std::uint8_t kStateToggled = 0x01;

}  // namespace kivo::vk
