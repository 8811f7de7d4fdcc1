#include "platform/x11/virtual_keys.h"

#include <X11/keysym.h>

#include <span>

namespace kivo {
namespace {

struct KeyCodes {
    KeySym keysym;
    VirtualKeyCodes codes;
};

constexpr KeyCodes kKeys[] = {
    {XK_BackSpace, {8}},
    {XK_Tab, {9}},
    {XK_Clear, {12}},
    {XK_Return, {13}},
    {XK_KP_Enter, {13}},
    {XK_Pause, {19}},
    {XK_Caps_Lock, {20}},
    {XK_Escape, {27}},
    {XK_space, {32}},
    {XK_Prior, {33}},
    {XK_Next, {34}},
    {XK_End, {35}},
    {XK_Home, {36}},
    {XK_Left, {37}},
    {XK_Up, {38}},
    {XK_Right, {39}},
    {XK_Down, {40}},
    {XK_Select, {41}},
    {XK_Execute, {43}},
    {XK_Print, {44}},
    {XK_Insert, {45}},
    {XK_Delete, {46}},
    {XK_Help, {47}},
    {XK_Super_L, {91}},
    {XK_Super_R, {92}},
    {XK_Menu, {93}},
    {XK_Num_Lock, {144}},
    {XK_Scroll_Lock, {145}},
    {XK_KP_Multiply, {106}},
    {XK_KP_Add, {107}},
    {XK_KP_Separator, {108}},
    {XK_KP_Subtract, {109}},
    {XK_KP_Decimal, {110}},
    {XK_KP_Divide, {111}},
    {XK_KP_Home, {36}},
    {XK_KP_Up, {38}},
    {XK_KP_Prior, {33}},
    {XK_KP_Left, {37}},
    {XK_KP_Begin, {12}},
    {XK_KP_Right, {39}},
    {XK_KP_End, {35}},
    {XK_KP_Down, {40}},
    {XK_KP_Next, {34}},
    {XK_KP_Insert, {45}},
    {XK_KP_Delete, {46}},
    {XK_Shift_L, {16, 160}},
    {XK_Shift_R, {16, 161}},
    {XK_Control_L, {17, 162}},
    {XK_Control_R, {17, 163}},
    {XK_Alt_L, {18, 164}},
    {XK_Alt_R, {18, 165}},
    // AltGr is the right-hand Alt key.
    {XK_ISO_Level3_Shift, {18, 165}},
    {XK_semicolon, {186}},
    {XK_equal, {187}},
    {XK_comma, {188}},
    {XK_minus, {189}},
    {XK_period, {190}},
    {XK_slash, {191}},
    {XK_bracketleft, {219}},
    {XK_bracketright, {221}},
};

constexpr KeyCodes kUsPunctuation[] = {
    {XK_grave, {192}},
    {XK_backslash, {220}},
    {XK_apostrophe, {222}},
};

constexpr KeyCodes kUkPunctuation[] = {
    {XK_apostrophe, {192}},
    {XK_numbersign, {222}},
    {XK_grave, {223}},
    {XK_backslash, {226}},
};

constexpr std::uint8_t kF1 = 112;
constexpr KeySym kLastFunctionKeysym = XK_F24;
constexpr std::uint8_t kKeypad0 = 96;

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
        return single(keysym - XK_KP_0, kKeypad0);
    }
    if (keysym >= XK_F1 && keysym <= kLastFunctionKeysym) {
        return single(keysym - XK_F1, kF1);
    }
    const VirtualKeyCodes common = lookUp(kKeys, keysym);
    if (common[0] != 0) {
        return common;
    }
    return layout == OemLayout::Uk ? lookUp(kUkPunctuation, keysym) : lookUp(kUsPunctuation, keysym);
}

}  // namespace kivo
