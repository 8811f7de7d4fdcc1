#include "platform/xkb/keysym_codes.h"

#include "platform/virtual_key_codes.h"

#include <xkbcommon/xkbcommon-keysyms.h>

#include <algorithm>
#include <span>

namespace kivo {
namespace {

struct KeyCodes {
    xkb_keysym_t keysym;
    VirtualKeyCodes codes;
    // False where the key-name table's token for the code is another character, which another
    // key types: the table names 192 and 222 as a UK keyboard has them.
    bool namedByTable = true;
};

constexpr KeyCodes kKeys[] = {
    {XKB_KEY_BackSpace, {vk::kBackspace}},
    {XKB_KEY_Tab, {vk::kTab}},
    {XKB_KEY_Clear, {vk::kClear}},
    {XKB_KEY_Return, {vk::kEnter}},
    {XKB_KEY_KP_Enter, {vk::kEnter}},
    {XKB_KEY_Pause, {vk::kPause}},
    {XKB_KEY_Caps_Lock, {vk::kCapsLock}},
    {XKB_KEY_Escape, {vk::kEscape}},
    {XKB_KEY_space, {vk::kSpace}},
    {XKB_KEY_Prior, {vk::kPageUp}},
    {XKB_KEY_Next, {vk::kPageDown}},
    {XKB_KEY_End, {vk::kEnd}},
    {XKB_KEY_Home, {vk::kHome}},
    {XKB_KEY_Left, {vk::kLeft}},
    {XKB_KEY_Up, {vk::kUp}},
    {XKB_KEY_Right, {vk::kRight}},
    {XKB_KEY_Down, {vk::kDown}},
    {XKB_KEY_Select, {vk::kSelect}},
    {XKB_KEY_Execute, {vk::kExecute}},
    {XKB_KEY_Print, {vk::kPrintScreen}},
    {XKB_KEY_Insert, {vk::kInsert}},
    {XKB_KEY_Delete, {vk::kDelete}},
    {XKB_KEY_Help, {vk::kHelp}},
    {XKB_KEY_Super_L, {vk::kLeftWindows}},
    {XKB_KEY_Super_R, {vk::kRightWindows}},
    {XKB_KEY_Menu, {vk::kMenu}},
    {XKB_KEY_Num_Lock, {vk::kNumLock}},
    {XKB_KEY_Scroll_Lock, {vk::kScrollLock}},
    {XKB_KEY_KP_Multiply, {vk::kKeypadMultiply}},
    {XKB_KEY_KP_Add, {vk::kKeypadAdd}},
    {XKB_KEY_KP_Separator, {vk::kKeypadSeparator}},
    {XKB_KEY_KP_Subtract, {vk::kKeypadSubtract}},
    {XKB_KEY_KP_Decimal, {vk::kKeypadDecimal}},
    {XKB_KEY_KP_Divide, {vk::kKeypadDivide}},
    {XKB_KEY_KP_Home, {vk::kHome}},
    {XKB_KEY_KP_Up, {vk::kUp}},
    {XKB_KEY_KP_Prior, {vk::kPageUp}},
    {XKB_KEY_KP_Left, {vk::kLeft}},
    {XKB_KEY_KP_Begin, {vk::kClear}},
    {XKB_KEY_KP_Right, {vk::kRight}},
    {XKB_KEY_KP_End, {vk::kEnd}},
    {XKB_KEY_KP_Down, {vk::kDown}},
    {XKB_KEY_KP_Next, {vk::kPageDown}},
    {XKB_KEY_KP_Insert, {vk::kInsert}},
    {XKB_KEY_KP_Delete, {vk::kDelete}},
    {XKB_KEY_Shift_L, {vk::kShift, vk::kLeftShift}},
    {XKB_KEY_Shift_R, {vk::kShift, vk::kRightShift}},
    {XKB_KEY_Control_L, {vk::kControl, vk::kLeftControl}},
    {XKB_KEY_Control_R, {vk::kControl, vk::kRightControl}},
    {XKB_KEY_Alt_L, {vk::kAlt, vk::kLeftAlt}},
    {XKB_KEY_Alt_R, {vk::kAlt, vk::kRightAlt}},
    // AltGr is the right-hand Alt key.
    {XKB_KEY_ISO_Level3_Shift, {vk::kAlt, vk::kRightAlt}},
    {XKB_KEY_semicolon, {vk::kSemicolon}},
    {XKB_KEY_equal, {vk::kEquals}},
    {XKB_KEY_comma, {vk::kComma}},
    {XKB_KEY_minus, {vk::kMinus}},
    {XKB_KEY_period, {vk::kPeriod}},
    {XKB_KEY_slash, {vk::kSlash}},
    {XKB_KEY_bracketleft, {vk::kOpenBracket}},
    {XKB_KEY_bracketright, {vk::kCloseBracket}},
};

constexpr KeyCodes kUsPunctuation[] = {
    {XKB_KEY_grave, {vk::kOem3}, false},
    {XKB_KEY_backslash, {vk::kBackslash}},
    {XKB_KEY_apostrophe, {vk::kOem7}, false},
};

constexpr KeyCodes kUkPunctuation[] = {
    {XKB_KEY_apostrophe, {vk::kOem3}},
    {XKB_KEY_numbersign, {vk::kOem7}},
    {XKB_KEY_grave, {vk::kOem8}, false},
    {XKB_KEY_backslash, {vk::kOem102}, false},
};

constexpr xkb_keysym_t kLastFunctionKeysym = XKB_KEY_F24;

VirtualKeyCodes single(xkb_keysym_t offset, std::uint8_t first)
{
    return {static_cast<std::uint8_t>(first + offset), 0};
}

const KeyCodes* lookUp(std::span<const KeyCodes> table, xkb_keysym_t keysym)
{
    for (const KeyCodes& entry : table) {
        if (entry.keysym == keysym) {
            return &entry;
        }
    }
    return nullptr;
}

std::span<const KeyCodes> punctuationOf(OemLayout layout)
{
    if (layout == OemLayout::Uk) {
        return kUkPunctuation;
    }
    return kUsPunctuation;
}

}  // namespace

OemLayout oemLayoutOf(std::span<const xkb_keysym_t> unshifted)
{
    return std::ranges::find(unshifted, XKB_KEY_numbersign) != unshifted.end() ? OemLayout::Uk : OemLayout::Us;
}

VirtualKeyCodes virtualKeysFor(xkb_keysym_t keysym, OemLayout layout)
{
    if (keysym >= XKB_KEY_a && keysym <= XKB_KEY_z) {
        return single(keysym - XKB_KEY_a, 'A');
    }
    if (keysym >= XKB_KEY_A && keysym <= XKB_KEY_Z) {
        return single(keysym - XKB_KEY_A, 'A');
    }
    if (keysym >= XKB_KEY_0 && keysym <= XKB_KEY_9) {
        return single(keysym - XKB_KEY_0, '0');
    }
    if (keysym >= XKB_KEY_KP_0 && keysym <= XKB_KEY_KP_9) {
        return single(keysym - XKB_KEY_KP_0, vk::kKeypad0);
    }
    if (keysym >= XKB_KEY_F1 && keysym <= kLastFunctionKeysym) {
        return single(keysym - XKB_KEY_F1, vk::kF1);
    }
    const KeyCodes* entry = lookUp(kKeys, keysym);
    if (entry == nullptr) {
        entry = lookUp(punctuationOf(layout), keysym);
    }
    return entry == nullptr ? VirtualKeyCodes{} : entry->codes;
}

bool tableNamesKeysym(xkb_keysym_t keysym, OemLayout layout)
{
    const KeyCodes* punctuation = lookUp(punctuationOf(layout), keysym);
    return punctuation == nullptr || punctuation->namedByTable;
}

}  // namespace kivo
