#include "platform/x11/virtual_keys.h"

#include "platform/virtual_key_codes.h"

#include <X11/keysym.h>

#include <span>

namespace kivo {
namespace {

struct KeyCodes {
    KeySym keysym;
    VirtualKeyCodes codes;
};

constexpr KeyCodes kKeys[] = {
    {XK_BackSpace, {vk::kBackspace}},
    {XK_Tab, {vk::kTab}},
    {XK_Clear, {vk::kClear}},
    {XK_Return, {vk::kEnter}},
    {XK_KP_Enter, {vk::kEnter}},
    {XK_Pause, {vk::kPause}},
    {XK_Caps_Lock, {vk::kCapsLock}},
    {XK_Escape, {vk::kEscape}},
    {XK_space, {vk::kSpace}},
    {XK_Prior, {vk::kPageUp}},
    {XK_Next, {vk::kPageDown}},
    {XK_End, {vk::kEnd}},
    {XK_Home, {vk::kHome}},
    {XK_Left, {vk::kLeft}},
    {XK_Up, {vk::kUp}},
    {XK_Right, {vk::kRight}},
    {XK_Down, {vk::kDown}},
    {XK_Select, {vk::kSelect}},
    {XK_Execute, {vk::kExecute}},
    {XK_Print, {vk::kPrintScreen}},
    {XK_Insert, {vk::kInsert}},
    {XK_Delete, {vk::kDelete}},
    {XK_Help, {vk::kHelp}},
    {XK_Super_L, {vk::kLeftWindows}},
    {XK_Super_R, {vk::kRightWindows}},
    {XK_Menu, {vk::kMenu}},
    {XK_Num_Lock, {vk::kNumLock}},
    {XK_Scroll_Lock, {vk::kScrollLock}},
    {XK_KP_Multiply, {vk::kKeypadMultiply}},
    {XK_KP_Add, {vk::kKeypadAdd}},
    {XK_KP_Separator, {vk::kKeypadSeparator}},
    {XK_KP_Subtract, {vk::kKeypadSubtract}},
    {XK_KP_Decimal, {vk::kKeypadDecimal}},
    {XK_KP_Divide, {vk::kKeypadDivide}},
    {XK_KP_Home, {vk::kHome}},
    {XK_KP_Up, {vk::kUp}},
    {XK_KP_Prior, {vk::kPageUp}},
    {XK_KP_Left, {vk::kLeft}},
    {XK_KP_Begin, {vk::kClear}},
    {XK_KP_Right, {vk::kRight}},
    {XK_KP_End, {vk::kEnd}},
    {XK_KP_Down, {vk::kDown}},
    {XK_KP_Next, {vk::kPageDown}},
    {XK_KP_Insert, {vk::kInsert}},
    {XK_KP_Delete, {vk::kDelete}},
    {XK_Shift_L, {vk::kShift, vk::kLeftShift}},
    {XK_Shift_R, {vk::kShift, vk::kRightShift}},
    {XK_Control_L, {vk::kControl, vk::kLeftControl}},
    {XK_Control_R, {vk::kControl, vk::kRightControl}},
    {XK_Alt_L, {vk::kAlt, vk::kLeftAlt}},
    {XK_Alt_R, {vk::kAlt, vk::kRightAlt}},
    // AltGr is the right-hand Alt key.
    {XK_ISO_Level3_Shift, {vk::kAlt, vk::kRightAlt}},
    {XK_semicolon, {vk::kSemicolon}},
    {XK_equal, {vk::kEquals}},
    {XK_comma, {vk::kComma}},
    {XK_minus, {vk::kMinus}},
    {XK_period, {vk::kPeriod}},
    {XK_slash, {vk::kSlash}},
    {XK_bracketleft, {vk::kOpenBracket}},
    {XK_bracketright, {vk::kCloseBracket}},
};

constexpr KeyCodes kUsPunctuation[] = {
    {XK_grave, {vk::kOem3}},
    {XK_backslash, {vk::kBackslash}},
    {XK_apostrophe, {vk::kOem7}},
};

constexpr KeyCodes kUkPunctuation[] = {
    {XK_apostrophe, {vk::kOem3}},
    {XK_numbersign, {vk::kOem7}},
    {XK_grave, {vk::kOem8}},
    {XK_backslash, {vk::kOem102}},
};

constexpr KeySym kLastFunctionKeysym = XK_F24;

VirtualKeyCodes single(KeySym offset, std::uint8_t first)
{
    return {static_cast<std::uint8_t>(first + offset), 0};
}

VirtualKeyCodes lookUp(std::span<const KeyCodes> table, KeySym keysym)
{
    for (const KeyCodes& entry : table) {
        if (entry.keysym == keysym) {
            return entry.codes;
        }
    }
    return {};
}

}  // namespace

VirtualKeyCodes virtualKeysFor(KeySym keysym, OemLayout layout)
{
    if (keysym >= XK_a && keysym <= XK_z) {
        return single(keysym - XK_a, 'A');
    }
    if (keysym >= XK_A && keysym <= XK_Z) {
        return single(keysym - XK_A, 'A');
    }
    if (keysym >= XK_0 && keysym <= XK_9) {
        return single(keysym - XK_0, '0');
    }
    if (keysym >= XK_KP_0 && keysym <= XK_KP_9) {
        return single(keysym - XK_KP_0, vk::kKeypad0);
    }
    if (keysym >= XK_F1 && keysym <= kLastFunctionKeysym) {
        return single(keysym - XK_F1, vk::kF1);
    }
    const VirtualKeyCodes common = lookUp(kKeys, keysym);
    if (common[0] != 0) {
        return common;
    }
    return layout == OemLayout::Uk ? lookUp(kUkPunctuation, keysym) : lookUp(kUsPunctuation, keysym);
}

}  // namespace kivo
