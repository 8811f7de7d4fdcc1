// GoogleTest goes before the X headers, whose macros clash with its names.
#include "x11_fixture.h"

#include "platform/xkb/keysyms.h"
#include "support/captured_stderr.h"
#include "support/key_recorder.h"
#include "support/waits.h"

#include <X11/keysym.h>

#include <initializer_list>
#include <vector>

namespace kivo {
namespace {

using namespace std::chrono_literals;
using test_support::everyPressReleased;
using test_support::KeyRecorder;
using test_support::RecordedKey;
using test_support::typedKeysyms;

class XTestKeySenderTest : public X11Test {
protected:
    void SetUp() override
    {
        openServices();
        recorder_ = std::make_unique<KeyRecorder>(displayName());
        recorder_->takeFocus();
    }

    // Sends the string and returns the events of `count` key presses and releases.
    std::vector<RecordedKey> send(std::string_view keys, std::size_t count)
    {
        recorder_->clear();
        services_->sender().send(KeyString(keys));
        return recorder_->waitForKeys(count, test_support::kWaitDeadline);
    }

    struct Typed {
        std::string_view keys;
        std::vector<KeySym> keysyms;
        std::size_t events;  // presses and releases, modifiers included
    };

    // Sends each string and checks what arrived; no key stays down after any of them.
    void expectTyped(std::initializer_list<Typed> table)
    {
        for (const Typed& entry : table) {
            const std::vector<RecordedKey> keys = send(entry.keys, entry.events);
            EXPECT_EQ(typedKeysyms(keys), entry.keysyms) << entry.keys;
            EXPECT_TRUE(everyPressReleased(keys)) << entry.keys;
            EXPECT_FALSE(recorder_->anyKeyDown()) << entry.keys;
        }
    }

    std::unique_ptr<KeyRecorder> recorder_;
};

TEST_F(XTestKeySenderTest, TypesEachNamedKey)
{
    expectTyped({
        {"{BackSpace}", {XK_BackSpace}, 2},
        {"{BS}", {XK_BackSpace}, 2},
        {"{BKSP}", {XK_BackSpace}, 2},
        {"{Tab}", {XK_Tab}, 2},
        {"{Enter}", {XK_Return}, 2},
        {"{Esc}", {XK_Escape}, 2},
        {"{PgUp}", {XK_Prior}, 2},
        {"{PgDn}", {XK_Next}, 2},
        {"{End}", {XK_End}, 2},
        {"{Home}", {XK_Home}, 2},
        {"{Left}", {XK_Left}, 2},
        {"{up}", {XK_Up}, 2},
        {"{right}", {XK_Right}, 2},
        {"{DOWN}", {XK_Down}, 2},
        {"{Prtsc}", {XK_Print}, 2},
        {"{Insert}", {XK_Insert}, 2},
        {"{Ins}", {XK_Insert}, 2},
        {"{Delete}", {XK_Delete}, 2},
        {"{Del}", {XK_Delete}, 2},
        {"{Help}", {XK_Help}, 2},
        {"{Break}", {XK_Break}, 4},
        {"{F1}", {XK_F1}, 2},
        {"{F12}", {XK_F12}, 2},
        {"{0}", {XK_0}, 2},
        {"{*}", {XK_asterisk}, 4},
        {"{+}", {XK_plus}, 4},
        {"{-}", {XK_minus}, 2},
        {"{.}", {XK_period}, 2},
        {"{/}", {XK_slash}, 2},
        {"{|}", {XK_bar}, 4},
        {"{;}", {XK_semicolon}, 2},
        {"{=}", {XK_equal}, 2},
        {"{,}", {XK_comma}, 2},
        {"{'}", {XK_apostrophe}, 2},
        {"{[}", {XK_bracketleft}, 2},
        {"{\\}", {XK_backslash}, 2},
        {"{]}", {XK_bracketright}, 2},
        {"{#}", {XK_numbersign}, 4},
    });
}

TEST_F(XTestKeySenderTest, TypesCharactersWithShiftWhereTheLayoutNeedsIt)
{
    expectTyped({
        {"a", {XK_a}, 2},
        {"A", {XK_A}, 4},
        {"!", {XK_exclam}, 4},
        {" ", {XK_space}, 2},
        {"aB1", {XK_a, XK_B, XK_1}, 8},
        {"+a", {XK_A}, 4},
        {"+1", {XK_exclam}, 4},
        {")", {XK_parenright}, 4},
        {"[", {XK_bracketleft}, 2},
        {"~", {XK_asciitilde}, 4},
    });
}

// "£", "€" and F16 are on no key of the test server's US layout: no keycode is remapped for them,
// as no game knows such a key; the rest of the string is typed, and the refusal is told.
TEST_F(XTestKeySenderTest, RefusesKeysTheLayoutLacksAndTypesTheRest)
{
    const test_support::CapturedStderr errors;
    expectTyped({
        {"\xA3"
         "a",
         {XK_a},
         2},
        {"{F16}b", {XK_b}, 2},
    });
    EXPECT_EQ(errors.text(),
              "kivo: cannot type \"\u00a3a\": no key of the keyboard layout types it\n"
              "kivo: cannot type \"{F16}b\": no key of the keyboard layout types it\n");
}

TEST_F(XTestKeySenderTest, HoldsModifiersAroundTheNextKeyOnly)
{
    const std::vector<RecordedKey> keys = send("^c%{F4}x", 10);
    ASSERT_EQ(keys.size(), 10U);
    EXPECT_EQ(typedKeysyms(keys), (std::vector<KeySym>{XK_c, XK_F4, XK_x}));
    EXPECT_NE(keys[1].state & ControlMask, 0U);
    EXPECT_NE(keys[5].state & Mod1Mask, 0U);
    EXPECT_EQ(keys[8].state, 0U);
    EXPECT_TRUE(everyPressReleased(keys));
    EXPECT_FALSE(recorder_->anyKeyDown());
}

TEST_F(XTestKeySenderTest, ALoneModifierTapsThatModifier)
{
    for (auto [keys, keysym] : {std::pair{"+", XK_Shift_L}, std::pair{"^", XK_Control_L}, std::pair{"%", XK_Alt_L}}) {
        const std::vector<RecordedKey> events = send(keys, 2);
        ASSERT_EQ(events.size(), 2U) << keys;
        EXPECT_TRUE(events[0].pressed) << keys;
        EXPECT_EQ(events[0].keysym, keysym) << keys;
        EXPECT_FALSE(events[1].pressed) << keys;
        EXPECT_FALSE(recorder_->anyKeyDown()) << keys;
    }
}

TEST_F(XTestKeySenderTest, TypesNothingOfAMalformedString)
{
    for (std::string_view keys : {"{", "{Nope}", "a{Nope}", "+{", "{F99}"}) {
        recorder_->clear();
        services_->sender().send(KeyString(keys));
        EXPECT_EQ(recorder_->settle(), std::vector<RecordedKey>{}) << keys;
        EXPECT_FALSE(recorder_->anyKeyDown()) << keys;
    }
}

}  // namespace
}  // namespace kivo
