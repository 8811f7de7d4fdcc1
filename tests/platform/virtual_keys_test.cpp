// GoogleTest goes before the X headers, whose macros clash with its names.
#include <gtest/gtest.h>

#include "engine/poll_engine.h"
#include "fakes/fake_input_services.h"
#include "fakes/memory_labels.h"
#include "platform/key_string.h"
#include "platform/x11/keysyms.h"
#include "platform/x11/virtual_keys.h"

#include <X11/keysym.h>

namespace kivo {
namespace {

constexpr WindowHandle kKivoWindow = 0x4200001;

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
    fake.joystick.hold(1);
    for (const std::uint8_t code : virtualKeysFor(pressed, layout)) {
        if (code != 0)
            fake.keyboard.press(code);
    }
    engine.tick();
    if (fake.sender.sent.size() != 1)
        return NoSymbol;
    const std::vector<KeyStroke> strokes = parseKeyString(fake.sender.sent.front()).strokes;
    if (strokes.size() != 1)
        return NoSymbol;
    const KeyStroke& stroke = strokes.front();
    switch (stroke.kind) {
        case KeyStroke::Kind::Named:
            return keysymFor(stroke.key);
        case KeyStroke::Kind::Character:
            return CharacterKeysyms()[stroke.character];
        case KeyStroke::Kind::ModifiersOnly:
            return stroke.modifiers.shift ? XK_Shift_L : stroke.modifiers.control ? XK_Control_L : XK_Alt_L;
    }
    return NoSymbol;
}

TEST(VirtualKeys, TheKeyPressedToAssignIsTheKeyTheButtonTypes)
{
    constexpr OemLayout kUs = OemLayout::Us;
    constexpr OemLayout kUk = OemLayout::Uk;
    struct Case {
        KeySym pressed;
        OemLayout layout;
        KeySym typed;
    };
    const Case cases[] = {
        // Letters are named by their capitals; the keypad types its characters.
        {XK_a, kUs, XK_A},
        {XK_Q, kUs, XK_Q},
        {XK_0, kUs, XK_0},
        {XK_9, kUs, XK_9},
        {XK_KP_0, kUs, XK_0},
        {XK_KP_9, kUs, XK_9},
        {XK_KP_Multiply, kUs, XK_asterisk},
        {XK_KP_Add, kUs, XK_plus},
        {XK_KP_Subtract, kUs, XK_minus},
        {XK_KP_Decimal, kUs, XK_period},
        {XK_KP_Divide, kUs, XK_slash},
        // Named keys, also from the keypad with Num Lock off.
        {XK_BackSpace, kUs, XK_BackSpace},
        {XK_Tab, kUs, XK_Tab},
        {XK_Return, kUs, XK_Return},
        {XK_KP_Enter, kUs, XK_Return},
        {XK_Escape, kUs, XK_Escape},
        {XK_space, kUs, XK_space},
        {XK_Prior, kUs, XK_Prior},
        {XK_Next, kUs, XK_Next},
        {XK_End, kUs, XK_End},
        {XK_KP_Home, kUs, XK_Home},
        {XK_Left, kUs, XK_Left},
        {XK_Up, kUs, XK_Up},
        {XK_Right, kUs, XK_Right},
        {XK_KP_Down, kUs, XK_Down},
        {XK_Insert, kUs, XK_Insert},
        {XK_KP_Delete, kUs, XK_Delete},
        {XK_Help, kUs, XK_Help},
        {XK_F1, kUs, XK_F1},
        {XK_F16, kUs, XK_F16},
        // Either hand's modifier, reported under two codes, taps that modifier; AltGr is Alt.
        {XK_Shift_L, kUs, XK_Shift_L},
        {XK_Shift_R, kUs, XK_Shift_L},
        {XK_Control_L, kUs, XK_Control_L},
        {XK_Control_R, kUs, XK_Control_L},
        {XK_Alt_L, kUs, XK_Alt_L},
        {XK_Alt_R, kUs, XK_Alt_L},
        {XK_ISO_Level3_Shift, kUk, XK_Alt_L},
        // Punctuation, whose codes differ between the layouts.
        {XK_semicolon, kUk, XK_semicolon},
        {XK_equal, kUs, XK_equal},
        {XK_comma, kUs, XK_comma},
        {XK_minus, kUk, XK_minus},
        {XK_period, kUs, XK_period},
        {XK_slash, kUs, XK_slash},
        {XK_bracketleft, kUs, XK_bracketleft},
        {XK_bracketright, kUk, XK_bracketright},
        {XK_backslash, kUs, XK_backslash},
        {XK_apostrophe, kUk, XK_apostrophe},
        {XK_numbersign, kUk, XK_numbersign},
        // Keys that cannot be placed assign nothing.
        {XK_numbersign, kUs, NoSymbol},
        {XK_udiaeresis, kUs, NoSymbol},
        {XK_less, kUs, NoSymbol},
        {NoSymbol, kUs, NoSymbol},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(typedAfterAssigning(c.pressed, c.layout), c.typed)
            << "keysym " << std::showbase << std::hex << c.pressed << (c.layout == kUk ? " (UK)" : "");
    }
}

}  // namespace
}  // namespace kivo
