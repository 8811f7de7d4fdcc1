// GoogleTest goes before the X headers, whose macros clash with its names.
#include <gtest/gtest.h>

#include "platform/x11/virtual_keys.h"

#include <X11/keysym.h>

namespace kivo {
namespace {

struct Mapping {
    KeySym keysym;
    OemLayout layout;
    VirtualKeyCodes codes;
};

class VirtualKeys : public ::testing::TestWithParam<Mapping> {};

TEST_P(VirtualKeys, MatchWhatWindowsReports)
{
    EXPECT_EQ(virtualKeysFor(GetParam().keysym, GetParam().layout), GetParam().codes);
}

constexpr OemLayout kUs = OemLayout::Us;
constexpr OemLayout kUk = OemLayout::Uk;

INSTANTIATE_TEST_SUITE_P(
    Keys, VirtualKeys,
    ::testing::Values(
        // Letters and digits, whichever case the layout lists first.
        Mapping{XK_a, kUs, {'A', 0}}, Mapping{XK_z, kUs, {'Z', 0}}, Mapping{XK_Q, kUs, {'Q', 0}},
        Mapping{XK_0, kUs, {'0', 0}}, Mapping{XK_9, kUs, {'9', 0}},
        // Every key of the key-name table.
        Mapping{XK_BackSpace, kUs, {8, 0}}, Mapping{XK_Tab, kUs, {9, 0}}, Mapping{XK_Return, kUs, {13, 0}},
        Mapping{XK_Escape, kUs, {27, 0}}, Mapping{XK_space, kUs, {32, 0}}, Mapping{XK_Prior, kUs, {33, 0}},
        Mapping{XK_Next, kUs, {34, 0}}, Mapping{XK_End, kUs, {35, 0}}, Mapping{XK_Home, kUs, {36, 0}},
        Mapping{XK_Left, kUs, {37, 0}}, Mapping{XK_Up, kUs, {38, 0}}, Mapping{XK_Right, kUs, {39, 0}},
        Mapping{XK_Down, kUs, {40, 0}}, Mapping{XK_Print, kUs, {44, 0}}, Mapping{XK_Insert, kUs, {45, 0}},
        Mapping{XK_Delete, kUs, {46, 0}}, Mapping{XK_Help, kUs, {47, 0}}, Mapping{XK_F1, kUs, {112, 0}},
        Mapping{XK_F16, kUs, {127, 0}}, Mapping{XK_F24, kUs, {135, 0}},
        // Keypad, with Num Lock on and off.
        Mapping{XK_KP_0, kUs, {96, 0}}, Mapping{XK_KP_9, kUs, {105, 0}}, Mapping{XK_KP_Multiply, kUs, {106, 0}},
        Mapping{XK_KP_Add, kUs, {107, 0}}, Mapping{XK_KP_Separator, kUs, {108, 0}},
        Mapping{XK_KP_Subtract, kUs, {109, 0}}, Mapping{XK_KP_Decimal, kUs, {110, 0}},
        Mapping{XK_KP_Divide, kUs, {111, 0}}, Mapping{XK_KP_Enter, kUs, {13, 0}}, Mapping{XK_KP_End, kUs, {35, 0}},
        Mapping{XK_KP_Begin, kUs, {12, 0}}, Mapping{XK_KP_Delete, kUs, {46, 0}},
        // Modifiers under their general and their left/right codes.
        Mapping{XK_Shift_L, kUs, {16, 160}}, Mapping{XK_Shift_R, kUs, {16, 161}}, Mapping{XK_Control_L, kUs, {17, 162}},
        Mapping{XK_Control_R, kUs, {17, 163}}, Mapping{XK_Alt_L, kUs, {18, 164}}, Mapping{XK_Alt_R, kUs, {18, 165}},
        Mapping{XK_ISO_Level3_Shift, kUk, {18, 165}}, Mapping{XK_Caps_Lock, kUs, {20, 0}},
        Mapping{XK_Num_Lock, kUs, {144, 0}}, Mapping{XK_Scroll_Lock, kUs, {145, 0}},
        // Punctuation shared by both layouts.
        Mapping{XK_semicolon, kUk, {186, 0}}, Mapping{XK_equal, kUs, {187, 0}}, Mapping{XK_comma, kUs, {188, 0}},
        Mapping{XK_minus, kUk, {189, 0}}, Mapping{XK_period, kUs, {190, 0}}, Mapping{XK_slash, kUs, {191, 0}},
        Mapping{XK_bracketleft, kUs, {219, 0}}, Mapping{XK_bracketright, kUk, {221, 0}},
        // Punctuation that differs.
        Mapping{XK_grave, kUs, {192, 0}}, Mapping{XK_backslash, kUs, {220, 0}}, Mapping{XK_apostrophe, kUs, {222, 0}},
        Mapping{XK_apostrophe, kUk, {192, 0}}, Mapping{XK_numbersign, kUk, {222, 0}}, Mapping{XK_grave, kUk, {223, 0}},
        Mapping{XK_backslash, kUk, {226, 0}},
        // Keys that cannot be placed are left out.
        Mapping{XK_numbersign, kUs, {0, 0}}, Mapping{XK_udiaeresis, kUs, {0, 0}}, Mapping{XK_less, kUs, {0, 0}},
        Mapping{NoSymbol, kUs, {0, 0}}));

}  // namespace
}  // namespace kivo
