// GoogleTest goes before the X headers, whose macros clash with its names.
#include <gtest/gtest.h>

#include "engine/poll_engine.h"
#include "fakes/fake_input_services.h"
#include "fakes/memory_labels.h"
#include "platform/key_string.h"
#include "platform/windows1252.h"
#include "platform/xkb/keysyms.h"
#include "platform/xkb/virtual_keys.h"

#include <X11/X.h>
#include <X11/keysym.h>

#include <ostream>

namespace kivo {
namespace {

constexpr WindowHandle kKivoWindow = 0x4200001;

// Stands for a key typed by its place, the scan code, rather than by a keysym.
constexpr KeySym atPlace(std::uint16_t scanCode)
{
    return 0x1000000 | scanCode;
}

// The key a joystick button types once it was assigned by pressing `pressed` in Kivo's window:
// the X key's codes in the keyboard state, the engine's caption for them, and the key string it
// sends parsed back into a keysym, as the X key sender would type it.
KeySym typedAfterAssigning(KeySym pressed, OemLayout layout)
{
    fakes::FakeInputServices fake;
    fake.joystick.buttonCount = 1;
    fakes::MemoryLabels labels(1);
    SelectedButton selected;
    PollEngine engine(fake.services(), labels, selected, kKivoWindow);
    engine.fillKeyNameTable();
    engine.readButtonCount();
    fake.foreground.window = kKivoWindow;
    // Kivo's window is in front before the key goes down.
    engine.tick();
    fake.joystick.hold(1);
    for (const std::uint8_t code : virtualKeysFor(pressed, layout)) {
        if (code != 0)
            fake.keyboard.press(code);
    }
    engine.tick();
    if (fake.sender.sent.size() != 1)
        return NoSymbol;
    const std::vector<KeyStroke> strokes = KeyString(fake.sender.sent.front()).strokes();
    if (strokes.size() != 1)
        return NoSymbol;
    const KeyStroke& stroke = strokes.front();
    switch (stroke.kind) {
        case KeyStroke::Kind::Named:
            return keysymFor(stroke.key);
        case KeyStroke::Kind::Character:
            return xkb_utf32_to_keysym(unicodeFromWindows1252(stroke.character));
        case KeyStroke::Kind::ModifiersOnly:
            return stroke.modifiers.shift ? XK_Shift_L : stroke.modifiers.control ? XK_Control_L : XK_Alt_L;
        case KeyStroke::Kind::ScanCode:
            return atPlace(stroke.scanCode);
    }
    return NoSymbol;
}

struct Assignment {
    KeySym pressed;
    OemLayout layout;
    KeySym typed;
};

void PrintTo(const Assignment& assignment, std::ostream* out)
{
    *out << "keysym " << std::showbase << std::hex << assignment.pressed
         << (assignment.layout == OemLayout::Uk ? " (UK)" : "");
}

class VirtualKeys : public ::testing::TestWithParam<Assignment> {};

TEST_P(VirtualKeys, TheKeyPressedToAssignIsTheKeyTheButtonTypes)
{
    EXPECT_EQ(typedAfterAssigning(GetParam().pressed, GetParam().layout), GetParam().typed);
}

constexpr OemLayout kUs = OemLayout::Us;
constexpr OemLayout kUk = OemLayout::Uk;

INSTANTIATE_TEST_SUITE_P(
    Keys, VirtualKeys,
    ::testing::Values(
        // Letters are named by their capitals; the keypad is typed on the keypad.
        Assignment{XK_a, kUs, XK_A}, Assignment{XK_Q, kUs, XK_Q}, Assignment{XK_0, kUs, XK_0},
        Assignment{XK_9, kUs, XK_9}, Assignment{XK_KP_0, kUs, atPlace(0x52)}, Assignment{XK_KP_9, kUs, atPlace(0x49)},
        Assignment{XK_KP_Multiply, kUs, atPlace(0x37)}, Assignment{XK_KP_Add, kUs, atPlace(0x4e)},
        Assignment{XK_KP_Subtract, kUs, atPlace(0x4a)}, Assignment{XK_KP_Decimal, kUs, atPlace(0x53)},
        Assignment{XK_KP_Divide, kUs, atPlace(0x135)},
        // Keys whose code's character another key types: each types itself.
        Assignment{XK_Print, kUs, XK_Print}, Assignment{XK_Pause, kUs, XK_Pause},
        Assignment{XK_Scroll_Lock, kUs, XK_Scroll_Lock}, Assignment{XK_Super_L, kUs, atPlace(0x15b)},
        Assignment{XK_Super_R, kUs, atPlace(0x15c)}, Assignment{XK_Menu, kUs, atPlace(0x15d)},
        // Named keys, also from the keypad with Num Lock off.
        Assignment{XK_BackSpace, kUs, XK_BackSpace}, Assignment{XK_Tab, kUs, XK_Tab},
        Assignment{XK_Return, kUs, XK_Return}, Assignment{XK_KP_Enter, kUs, XK_Return},
        Assignment{XK_Escape, kUs, XK_Escape}, Assignment{XK_space, kUs, XK_space}, Assignment{XK_Prior, kUs, XK_Prior},
        Assignment{XK_Next, kUs, XK_Next}, Assignment{XK_End, kUs, XK_End}, Assignment{XK_KP_Home, kUs, XK_Home},
        Assignment{XK_Left, kUs, XK_Left}, Assignment{XK_Up, kUs, XK_Up}, Assignment{XK_Right, kUs, XK_Right},
        Assignment{XK_KP_Down, kUs, XK_Down}, Assignment{XK_Insert, kUs, XK_Insert},
        Assignment{XK_KP_Delete, kUs, XK_Delete}, Assignment{XK_Help, kUs, XK_Help}, Assignment{XK_F1, kUs, XK_F1},
        Assignment{XK_F16, kUs, XK_F16},
        // Either hand's modifier, reported under two codes, taps that modifier; AltGr is Alt.
        Assignment{XK_Shift_L, kUs, XK_Shift_L}, Assignment{XK_Shift_R, kUs, XK_Shift_L},
        Assignment{XK_Control_L, kUs, XK_Control_L}, Assignment{XK_Control_R, kUs, XK_Control_L},
        Assignment{XK_Alt_L, kUs, XK_Alt_L}, Assignment{XK_Alt_R, kUs, XK_Alt_L},
        Assignment{XK_ISO_Level3_Shift, kUk, XK_Alt_L},
        // Punctuation, whose codes differ between the layouts.
        Assignment{XK_semicolon, kUk, XK_semicolon}, Assignment{XK_equal, kUs, XK_equal},
        Assignment{XK_comma, kUs, XK_comma}, Assignment{XK_minus, kUk, XK_minus}, Assignment{XK_period, kUs, XK_period},
        Assignment{XK_slash, kUs, XK_slash}, Assignment{XK_bracketleft, kUs, XK_bracketleft},
        Assignment{XK_bracketright, kUk, XK_bracketright}, Assignment{XK_backslash, kUs, XK_backslash},
        Assignment{XK_apostrophe, kUk, XK_apostrophe}, Assignment{XK_numbersign, kUk, XK_numbersign},
        // Keys that cannot be placed assign nothing.
        Assignment{XK_numbersign, kUs, NoSymbol}, Assignment{XK_udiaeresis, kUs, NoSymbol},
        Assignment{XK_less, kUs, NoSymbol}, Assignment{NoSymbol, kUs, NoSymbol}));

}  // namespace
}  // namespace kivo
