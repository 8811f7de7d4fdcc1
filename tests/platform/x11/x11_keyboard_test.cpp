#include "x11_fixture.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <initializer_list>
#include <vector>

namespace kivo {
namespace {

// Holds keys on the server from a separate client, as a user at the keyboard would.
class KeyboardUser {
public:
    explicit KeyboardUser(const std::string& displayName) : display_(XOpenDisplay(displayName.c_str())) {}
    ~KeyboardUser() { XCloseDisplay(display_); }
    KeyboardUser(const KeyboardUser&) = delete;
    KeyboardUser& operator=(const KeyboardUser&) = delete;

    void press(KeySym keysym) { fake(keysym, True); }
    void release(KeySym keysym) { fake(keysym, False); }
    void light(const char* indicator, bool on)
    {
        XkbSetNamedIndicator(display_, XInternAtom(display_, indicator, False), True, on ? True : False, False,
                             nullptr);
        XSync(display_, False);
    }
    void tap(KeySym keysym)
    {
        press(keysym);
        release(keysym);
    }

private:
    void fake(KeySym keysym, Bool down)
    {
        XTestFakeKeyEvent(display_, XKeysymToKeycode(display_, keysym), down, CurrentTime);
        XSync(display_, False);
    }

    Display* display_;
};

std::vector<int> codesWithBits(const KeyboardState& keys, std::uint8_t bits)
{
    std::vector<int> codes;
    for (std::size_t code = 0; code < keys.size(); ++code) {
        if ((keys[code] & bits) != 0) {
            codes.push_back(static_cast<int>(code));
        }
    }
    return codes;
}

class X11KeyboardTest : public X11Test {
protected:
    void SetUp() override { openServices(); }

    KeyboardState read()
    {
        KeyboardState keys{};
        EXPECT_TRUE(services_->keyboard().state(keys));
        return keys;
    }
    // The keys down and the lights lit, once the service has heard of the change.
    std::vector<int> down(const std::vector<int>& expected)
    {
        return settled([this] { return codesWithBits(read(), 0x80); }, expected);
    }
    std::vector<int> lit(const std::vector<int>& expected)
    {
        return settled([this] { return codesWithBits(read(), 0x01); }, expected);
    }

    KeyboardUser user_{displayName()};
};

struct HeldKey {
    KeySym keysym;
    std::vector<int> codes;
};

TEST_F(X11KeyboardTest, HeldKeysShowUnderTheirVirtualKeyCodes)
{
    const std::initializer_list<HeldKey> table{
        {XK_Shift_L, {16, 160}},
        {XK_Shift_R, {16, 161}},
        {XK_Control_L, {17, 162}},
        {XK_Control_R, {17, 163}},
        {XK_Alt_L, {18, 164}},
        {XK_a, {'A'}},
        {XK_7, {'7'}},
        {XK_Return, {13}},
        {XK_F5, {116}},
        {XK_space, {32}},
        {XK_Prior, {33}},
        {XK_Print, {44}},
        {XK_Super_L, {91}},
        {XK_apostrophe, {222}},
        {XK_slash, {191}},
        {XK_Escape, {27}},
    };
    ASSERT_EQ(down({}), std::vector<int>{});
    for (const HeldKey& key : table) {
        user_.press(key.keysym);
        EXPECT_EQ(down(key.codes), key.codes) << XKeysymToString(key.keysym);
        user_.release(key.keysym);
        EXPECT_EQ(down({}), std::vector<int>{}) << XKeysymToString(key.keysym);
    }
}

TEST_F(X11KeyboardTest, BothShiftKeysHeldShowBothSides)
{
    user_.press(XK_Shift_L);
    user_.press(XK_Shift_R);
    EXPECT_EQ(down({16, 160, 161}), (std::vector<int>{16, 160, 161}));
    user_.release(XK_Shift_L);
    EXPECT_EQ(down({16, 161}), (std::vector<int>{16, 161}));
    user_.release(XK_Shift_R);
}

TEST_F(X11KeyboardTest, LockLightsShowInTheLowBit)
{
    for (auto [keysym, code] : {std::pair{XK_Caps_Lock, 20}, std::pair{XK_Num_Lock, 144}}) {
        user_.tap(keysym);
        EXPECT_EQ(lit({code}), std::vector<int>{code});
        EXPECT_EQ(down({}), std::vector<int>{});
        user_.press(keysym);
        EXPECT_EQ(down({code}), std::vector<int>{code});
        EXPECT_EQ(read()[static_cast<std::size_t>(code)], 0x81);
        user_.release(keysym);
        EXPECT_EQ(lit({}), std::vector<int>{});
    }
}

// The default keymap ties no modifier to Scroll Lock, so its light is switched directly.
TEST_F(X11KeyboardTest, TheScrollLockLightShowsInTheLowBit)
{
    user_.light("Scroll Lock", true);
    EXPECT_EQ(lit({145}), std::vector<int>{145});
    user_.light("Scroll Lock", false);
    EXPECT_EQ(lit({}), std::vector<int>{});
}

// Keypad 1 is the keypad's key whether Num Lock makes it End or 1.
TEST_F(X11KeyboardTest, KeypadKeysAreNamedByTheirPlaceWithNumLockOffAndOn)
{
    const auto downToken = [this] {
        const std::vector<int> codes = codesWithBits(read(), 0x80);
        return codes.size() == 1 ? services_->keyboard().tokenOnLayout(static_cast<std::uint8_t>(codes[0]))
                                 : std::string{};
    };
    for (const std::vector<int>& light : {std::vector<int>{}, std::vector<int>{144}}) {
        ASSERT_EQ(lit(light), light);
        user_.press(XK_KP_End);
        EXPECT_EQ(settled(downToken, std::string("{Numpad1}")), "{Numpad1}") << light.size();
        user_.release(XK_KP_End);
        user_.tap(XK_Num_Lock);
    }
}

}  // namespace
}  // namespace kivo
