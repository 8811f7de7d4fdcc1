#include "key_typing_fixtures.h"
#include "platform/virtual_key_codes.h"
#include "support/captured_stderr.h"

#include <map>
#include <string>
#include <vector>

namespace kivo {
namespace {

struct Typed {
    const char* layout;
    const char* keys;
    const char* events;
};

TEST(UinputKeySender, TypesEachKeyWithTheModifiersItsLayoutNeedsAndReleasesThemLastFirst)
{
    const Typed table[] = {
        // Characters go by the layout; a capital letter and a character on a higher level hold their modifiers.
        {"us", "q", "+KEY_Q -KEY_Q"},
        {"fr", "q", "+KEY_A -KEY_A"},
        {"de", "{z}", "+KEY_Y -KEY_Y"},
        {"fr", "\xE9", "+KEY_2 -KEY_2"},
        {"us", "{;}", "+KEY_SEMICOLON -KEY_SEMICOLON"},
        {"fr", "{;}", "+KEY_COMMA -KEY_COMMA"},
        {"de", "{;}", "+KEY_LEFTSHIFT +KEY_COMMA -KEY_COMMA -KEY_LEFTSHIFT"},
        {"fr", "A", "+KEY_LEFTSHIFT +KEY_Q -KEY_Q -KEY_LEFTSHIFT"},
        {"fr", "1", "+KEY_LEFTSHIFT +KEY_1 -KEY_1 -KEY_LEFTSHIFT"},
        {"de", "{{}", "+KEY_RIGHTALT +KEY_7 -KEY_7 -KEY_RIGHTALT"},
        {"de", "{+}", "+KEY_RIGHTBRACE -KEY_RIGHTBRACE"},
        // Named keys, and the notation's Shift, Control and Alt held around a key or tapped alone.
        {"us", "{F5}", "+KEY_F5 -KEY_F5"},
        {"de", "{Enter}", "+KEY_ENTER -KEY_ENTER"},
        {"fr", "{left}{UP}", "+KEY_LEFT -KEY_LEFT +KEY_UP -KEY_UP"},
        {"us", "{Break}", "+KEY_LEFTCTRL +KEY_PAUSE -KEY_PAUSE -KEY_LEFTCTRL"},
        // Keys named by their place, up to the last whose scan code is its evdev code.
        {"ru", "{SC01E}{SC058}{SC059}", "+KEY_A -KEY_A +KEY_F12 -KEY_F12"},
        {"us", "{numpad7}{NumpadEnter}{Divide}{LWin}{Apps}",
         "+KEY_KP7 -KEY_KP7 +KEY_KPENTER -KEY_KPENTER +KEY_KPSLASH -KEY_KPSLASH +KEY_LEFTMETA -KEY_LEFTMETA "
         "+KEY_COMPOSE -KEY_COMPOSE"},
        {"de", "+^{z}", "+KEY_LEFTSHIFT +KEY_LEFTCTRL +KEY_Y -KEY_Y -KEY_LEFTCTRL -KEY_LEFTSHIFT"},
        {"us", "%", "+KEY_LEFTALT -KEY_LEFTALT"},
        {"us", "+A", "+KEY_LEFTSHIFT +KEY_A -KEY_A -KEY_LEFTSHIFT"},
        // A character no key of the layout types is skipped; the rest of the string is typed.
        {"us", "\xE9", ""},
        {"us",
         "a\xE9"
         "b",
         "+KEY_A -KEY_A +KEY_B -KEY_B"},
    };
    std::map<std::string, FixedKeymap> keymaps;
    for (const Typed& row : table) {
        FixedKeymap& keymap = keymaps.try_emplace(row.layout, row.layout).first->second;
        EventPipe device;
        const test_support::CapturedStderr quiet;
        const auto sender = makeUinputKeySender(makeDescriptorKeyboard(device.writeEnd()), keymap);
        sender->send(KeyString(row.keys));
        EXPECT_EQ(device.events(), row.events) << row.layout << " \"" << row.keys << '"';
    }
}

// The keys of a caption typed on every tick follow a switch of layout at once.
TEST(UinputKeySender, TypesTheSameCaptionOnTheLayoutSwitchedTo)
{
    FixedKeymap keymap("us,de");
    EventPipe device;
    const auto sender = makeUinputKeySender(makeDescriptorKeyboard(device.writeEnd()), keymap);
    const test_support::CapturedStderr quiet;
    const KeyString caption("{z}\xFC");
    const std::pair<unsigned, const char*> switches[] = {
        {0, "+KEY_Z -KEY_Z"}, {1, "+KEY_Y -KEY_Y +KEY_LEFTBRACE -KEY_LEFTBRACE"}, {0, "+KEY_Z -KEY_Z"}};
    for (const auto& [group, events] : switches) {
        keymap.useGroup(group);
        sender->send(caption);
        EXPECT_EQ(device.events(), events) << "group " << group;
    }
}

struct HeldStep {
    bool press;
    const char* keys;
    const char* events;
};

// A key two held strings share goes up with the last of them; whatever is held goes up when the
// sender goes.
TEST(UinputKeySender, HoldsEachStringUntilItIsLetGo)
{
    FixedKeymap keymap("us");
    EventPipe device;
    const HeldStep steps[] = {
        {true, "{right}", "+KEY_RIGHT"},  {true, "{right}", ""},  {true, "A", "+KEY_LEFTSHIFT +KEY_A"},
        {true, "+b", "+KEY_B"},           {false, "A", "-KEY_A"}, {false, "{left}", ""},
        {false, "{right}", "-KEY_RIGHT"},
    };
    auto sender = makeUinputKeySender(makeDescriptorKeyboard(device.writeEnd()), keymap);
    for (const HeldStep& step : steps) {
        if (step.press)
            sender->press(KeyString(step.keys));
        else
            sender->release(KeyString(step.keys));
        EXPECT_EQ(device.events(), step.events) << (step.press ? "press " : "release ") << step.keys;
    }
    sender.reset();
    EXPECT_EQ(device.events(), "-KEY_B -KEY_LEFTSHIFT");
}

// The caption's Windows-1252 byte reaches a terminal as UTF-8.
TEST(UinputKeySender, TellsOnceOfACharacterTheLayoutLacksWhileItIsSentAgain)
{
    FixedKeymap keymap("us");
    EventPipe device;
    const auto sender = makeUinputKeySender(makeDescriptorKeyboard(device.writeEnd()), keymap);
    const test_support::CapturedStderr errors;
    const KeyString eAcute("\xE9");
    sender->send(eAcute);
    sender->send(eAcute);
    EXPECT_EQ(errors.text(), "kivo: cannot type \"\u00e9\": no key of the keyboard layout types it\n");
}

// Button codes around the keys would make a compositor take it for a mouse or a joystick.
TEST(UinputKeyboard, TakesOnlyKeyboardKeysAndReleasesThoseStillDownBeforeItGoes)
{
    EventPipe device;
    auto keyboard = makeDescriptorKeyboard(device.writeEnd());
    for (const unsigned code : {KEY_LEFTSHIFT, KEY_A, BTN_0, KEY_OK, BTN_TRIGGER_HAPPY1})
        keyboard->key(code, true);
    keyboard->key(KEY_A, false);
    keyboard.reset();
    EXPECT_EQ(device.events(), "+KEY_LEFTSHIFT +KEY_A +KEY_OK -KEY_A -KEY_LEFTSHIFT -KEY_OK");
}

struct Pressed {
    const char* layout;
    unsigned evdevCode;
    std::uint32_t modifiers;
    std::uint8_t down;
};

TEST(OwnWindowInput, KeysOfItsWindowAreDownByTheirVirtualKeyCodesWhileItIsActive)
{
    constexpr std::uint32_t kNumLock = 1U << 4;
    const Pressed table[] = {
        {"us", KEY_A, 0, 'A'},
        {"fr", KEY_Q, 0, 'A'},
        {"de", KEY_Y, 0, 'Z'},
        {"us", KEY_F5, 0, vk::kF1 + 4},
        {"us", KEY_RIGHTSHIFT, 0, vk::kRightShift},
        {"us", KEY_HOME, 0, vk::kHome},
        {"us", KEY_LEFTMETA, kNumLock, vk::kLeftWindows},
    };
    for (const Pressed& row : table) {
        FixedKeymap keymap(row.layout);
        const auto input = makeOwnWindowInput(keymap);
        input->setWindow(42);
        KeyboardState keys{};
        input->keyEvent(row.evdevCode + 8, true, row.modifiers, 0);
        input->state(keys);
        EXPECT_EQ(keys[row.down], 0) << "before the window is active";

        input->activeChanged(true);
        EXPECT_EQ(input->current(), 42U);
        EventPipe device;
        const auto typing = input->typingInto(makeDescriptorKeyboard(device.writeEnd()));
        typing->key(row.evdevCode, true);
        typing->key(row.evdevCode, false);
        input->keyEvent(row.evdevCode + 8, true, row.modifiers, 0);
        input->state(keys);
        EXPECT_EQ(keys[row.down], 0) << "Kivo's own key, typed into its window";

        input->keyEvent(row.evdevCode + 8, true, row.modifiers, 0);
        input->state(keys);
        EXPECT_EQ(keys[row.down], vk::kStateDown) << row.layout << " key " << row.evdevCode;
        input->activeChanged(false);
        input->state(keys);
        EXPECT_EQ(keys[row.down], 0) << "after the window lost the focus";
        EXPECT_EQ(input->current(), 0U);
        input->activeChanged(true);
        input->state(keys);
        EXPECT_EQ(keys[row.down], 0) << "let go in another window, so still up when Kivo's is back";
    }
}

struct Assigned {
    const char* layout;
    std::vector<unsigned> pressed;  // evdev codes, AltGr first where it is held
    const char* token;
    const char* typedBack;
    unsigned group = 0;  // the layout in use, of those named
    const char* variant = "";
    std::uint32_t modifiers = 0;
};

constexpr std::uint32_t kNumLockOn = 1U << 4;

// A key pressed in Kivo's window, scanned by the engine, assigns the layout's token (the key-name
// table's where the layout gives none), and the button types that token back on the same key, a
// dead key twice. The X11 edge reads the X server's keymap into the same model and types through
// the same rule.
TEST(OwnWindowInput, EveryKeyOfTheLayoutAssignsATokenTypedBackOnTheSameKey)
{
    const Assigned table[] = {
        {"de", {KEY_LEFTBRACE}, "\xFC", "+KEY_LEFTBRACE -KEY_LEFTBRACE"},
        {"de", {KEY_MINUS}, "\xDF", "+KEY_MINUS -KEY_MINUS"},
        {"de", {KEY_GRAVE}, "{^}", "+KEY_GRAVE -KEY_GRAVE +KEY_GRAVE -KEY_GRAVE"},
        {"de", {KEY_RIGHTALT, KEY_E}, "\x80", "+KEY_RIGHTALT +KEY_E -KEY_E -KEY_RIGHTALT"},
        {"de", {KEY_Y}, "Z", "+KEY_LEFTSHIFT +KEY_Y -KEY_Y -KEY_LEFTSHIFT"},
        {"fr", {KEY_1}, "{&}", "+KEY_1 -KEY_1"},
        {"fr", {KEY_2}, "\xE9", "+KEY_2 -KEY_2"},
        {"ru", {KEY_A}, "{SC01E}", "+KEY_A -KEY_A"},
        {"ru", {KEY_SEMICOLON}, "{SC027}", "+KEY_SEMICOLON -KEY_SEMICOLON"},
        {"us", {KEY_APOSTROPHE}, "{'}", "+KEY_APOSTROPHE -KEY_APOSTROPHE"},
        {"us", {KEY_SEMICOLON}, "{;}", "+KEY_SEMICOLON -KEY_SEMICOLON"},
        {"us", {KEY_F5}, "{F5}", "+KEY_F5 -KEY_F5"},
        {"de", {KEY_RIGHTALT, KEY_Q}, "{@}", "+KEY_RIGHTALT +KEY_Q -KEY_Q -KEY_RIGHTALT"},
        {"de",
         {KEY_RIGHTALT, KEY_LEFTSHIFT, KEY_COMMA},
         "\xD7",
         "+KEY_LEFTSHIFT +KEY_RIGHTALT +KEY_COMMA -KEY_COMMA -KEY_RIGHTALT -KEY_LEFTSHIFT"},
        {"de",
         {KEY_RIGHTALT, KEY_LEFTSHIFT, KEY_MINUS},
         "\xBF",
         "+KEY_LEFTSHIFT +KEY_RIGHTALT +KEY_MINUS -KEY_MINUS -KEY_RIGHTALT -KEY_LEFTSHIFT"},
        {"fr", {KEY_RIGHTALT, KEY_E}, "\x80", "+KEY_RIGHTALT +KEY_E -KEY_E -KEY_RIGHTALT"},
        {"us", {KEY_APOSTROPHE}, "\xB4", "+KEY_APOSTROPHE -KEY_APOSTROPHE +KEY_APOSTROPHE -KEY_APOSTROPHE", 0, "intl"},
        {"us", {KEY_RIGHTALT, KEY_Q}, "\xE4", "+KEY_RIGHTALT +KEY_Q -KEY_Q -KEY_RIGHTALT", 0, "intl"},
        // The second of two layouts in use.
        {"us,de", {KEY_LEFTBRACE}, "\xFC", "+KEY_LEFTBRACE -KEY_LEFTBRACE", 1},
        {"us,de", {KEY_MINUS}, "\xDF", "+KEY_MINUS -KEY_MINUS", 1},
        {"us,de", {KEY_Y}, "Z", "+KEY_LEFTSHIFT +KEY_Y -KEY_Y -KEY_LEFTSHIFT", 1},
        {"us,de", {KEY_RIGHTALT, KEY_E}, "\x80", "+KEY_RIGHTALT +KEY_E -KEY_E -KEY_RIGHTALT", 1},
        {"ru,us", {KEY_A}, "A", "+KEY_LEFTSHIFT +KEY_A -KEY_A -KEY_LEFTSHIFT", 1},
        {"ru,us", {KEY_SEMICOLON}, "{;}", "+KEY_SEMICOLON -KEY_SEMICOLON", 1},
        // The keypad on the keypad, with Num Lock off and on.
        {"us", {KEY_KP1}, "{Numpad1}", "+KEY_KP1 -KEY_KP1"},
        {"us", {KEY_KP1}, "{Numpad1}", "+KEY_KP1 -KEY_KP1", 0, "", kNumLockOn},
        {"us", {KEY_KPENTER}, "{NumpadEnter}", "+KEY_KPENTER -KEY_KPENTER"},
        {"de", {KEY_KPMINUS}, "{Subtract}", "+KEY_KPMINUS -KEY_KPMINUS", 0, "", kNumLockOn},
        {"us", {KEY_KPSLASH}, "{Divide}", "+KEY_KPSLASH -KEY_KPSLASH"},
        // Keys that type no character type themselves.
        {"us", {KEY_SYSRQ}, "{Prtsc}", "+KEY_SYSRQ -KEY_SYSRQ"},
        {"us", {KEY_PAUSE}, "{Pause}", "+KEY_PAUSE -KEY_PAUSE"},
        {"us", {KEY_COMPOSE}, "{Apps}", "+KEY_COMPOSE -KEY_COMPOSE"},
        {"de", {KEY_LEFTMETA}, "{LWin}", "+KEY_LEFTMETA -KEY_LEFTMETA"},
        {"us", {KEY_RIGHTMETA}, "{RWin}", "+KEY_RIGHTMETA -KEY_RIGHTMETA"},
        {"us", {KEY_SCROLLLOCK}, "{ScrollLock}", "+KEY_SCROLLLOCK -KEY_SCROLLLOCK"},
    };
    for (const Assigned& row : table) {
        FixedKeymap keymap(row.layout, row.variant, row.group);
        const auto [token, typedBack] = assignAndTypeBack(keymap, row.pressed, row.modifiers);
        EXPECT_EQ(token, row.token) << row.layout << " key " << row.pressed.back();
        EXPECT_EQ(typedBack, row.typedBack) << row.layout << " key " << row.pressed.back();
    }
}

}  // namespace
}  // namespace kivo
