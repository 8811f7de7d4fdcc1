#include "platform/virtual_key_codes.h"
#include "platform/win32/win32_backends.h"
#include "platform/win32/winmm_calls.h"

#include "test_window.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace kivo {
namespace {

using test_support::KeyMessage;

// Stands for the user's keyboard: input without Kivo's mark, which Wine hands to raw input
// with the keyboard's device.
void userKey(WORD virtualKey, DWORD up)
{
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = virtualKey;
    input.ki.dwFlags = up;
    SendInput(1, &input, sizeof(input));
    test_support::pumpMessages();
}

// The keyboard service reading the raw input of the shared test window, which is in front.
class Win32KeyboardTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(window.activate());
        keyboard->readFrom(window.handle());
        ASSERT_TRUE(rawInput.add(*keyboard));
        window.onRawInput = [this](LPARAM report) { rawInput.handle(report); };
    }

    test_support::TestWindow& window = test_support::TestWindow::shared();
    std::unique_ptr<Win32Keyboard> keyboard = makeRawInputKeyboard();
    RawInput rawInput{window.handle()};
};

TEST_F(Win32KeyboardTest, ShowsOnlyTheUsersKeysAndOnlyWhileItsWindowIsInFront)
{
    KeyboardState keys{};
    const auto isDown = [&](std::uint8_t key) { return keyboard->state(keys) && (keys[key] & vk::kStateDown) != 0; };
    std::vector<bool> downWhileHandled;
    window.onKey = [&](const KeyMessage& key) {
        if (key.message == WM_KEYDOWN && key.code == 'B')
            downWhileHandled.push_back(isDown('B') || isDown(vk::kShift));
    };
    isDown('B');

    makeSendInputKeySender()->send(KeyString("+b"));
    userKey('B', 0);
    EXPECT_EQ(downWhileHandled, (std::vector<bool>{false, true})) << "Kivo's own B, then the user's";
    userKey('B', KEYEVENTF_KEYUP);
    EXPECT_FALSE(isDown('B'));
    userKey('C', 0);
    EXPECT_TRUE(isDown('C'));
    ASSERT_TRUE(test_support::TestWindow::shared(1).activate());
    EXPECT_FALSE(isDown('C')) << "another window in front";
    ASSERT_TRUE(window.activate());
    EXPECT_TRUE(isDown('C')) << "held as its window came to the front, so its repeats are no new press";
    userKey('C', KEYEVENTF_KEYUP);
}

// With Num Lock off keypad 1 comes as End, keypad Enter as Return: both are the keypad's keys.
TEST_F(Win32KeyboardTest, KeypadKeysAreNamedByTheirPlace)
{
    KeyboardState keys{};
    keyboard->state(keys);
    struct Key {
        WORD virtualKey;
        WORD scanCode;
        DWORD extended;
        const char* token;
    };
    for (const Key& key :
         {Key{VK_END, 0x4f, 0, "{Numpad1}"}, Key{VK_RETURN, 0x1c, KEYEVENTF_EXTENDEDKEY, "{NumpadEnter}"},
          Key{VK_END, 0x4f, KEYEVENTF_EXTENDEDKEY, ""}, Key{VK_RETURN, 0x1c, 0, ""}}) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = key.virtualKey;
        input.ki.wScan = key.scanCode;
        input.ki.dwFlags = key.extended;
        SendInput(1, &input, sizeof(input));
        test_support::pumpMessages();
        keyboard->state(keys);
        std::string token = "nothing down";
        for (std::size_t code = 0; code < keys.size(); ++code) {
            if ((keys[code] & vk::kStateDown) != 0)
                token = keyboard->tokenOnLayout(static_cast<std::uint8_t>(code));
        }
        EXPECT_EQ(token, key.token) << key.virtualKey << (key.extended != 0 ? " extended" : "");
        input.ki.dwFlags |= KEYEVENTF_KEYUP;
        SendInput(1, &input, sizeof(input));
        test_support::pumpMessages();
    }
}

TEST(Win32Keyboard, CapsLockIsToggledOnAndOff)
{
    test_support::TestWindow& window = test_support::TestWindow::shared();
    ASSERT_TRUE(window.activate());
    const auto keyboard = makeRawInputKeyboard();
    keyboard->readFrom(window.handle());
    const auto sender = makeSendInputKeySender();
    KeyboardState keys{};
    ASSERT_TRUE(keyboard->state(keys));
    const bool wasOn = (keys[vk::kCapsLock] & vk::kStateToggled) != 0;
    for (bool on : {!wasOn, wasOn}) {
        sender->send(KeyString("{CAPSLOCK}"));
        test_support::pumpMessages();
        ASSERT_TRUE(keyboard->state(keys));
        EXPECT_EQ((keys[vk::kCapsLock] & vk::kStateToggled) != 0, on);
        EXPECT_EQ(keys[vk::kCapsLock] & vk::kStateDown, 0);
    }
}

TEST(Win32Foreground, ReportsTheWindowBroughtToTheFront)
{
    test_support::TestWindow& first = test_support::TestWindow::shared(0);
    test_support::TestWindow& second = test_support::TestWindow::shared(1);
    const auto foreground = makeWin32Foreground();
    for (test_support::TestWindow* window : {&first, &second, &first}) {
        ASSERT_TRUE(window->activate());
        EXPECT_EQ(foreground->current(), reinterpret_cast<WindowHandle>(window->handle()));
    }
}

// winmm as the joystick meets it: notes what it is handed, answers with fixed records.
class ScriptedWinmm final : public WinmmCalls {
public:
    explicit ScriptedWinmm(MMRESULT result) : result_(result) {}

    MMRESULT getDevCaps(UINT, ::JOYCAPSA* caps, UINT size) override
    {
        capsSize = size;
        caps->wNumButtons = 12;
        return result_;
    }
    MMRESULT getPosEx(UINT, ::JOYINFOEX* info) override
    {
        handed = {info->dwSize, info->dwFlags};
        info->dwXpos = 1234;
        info->dwPOV = 13500;
        return result_;
    }

    UINT capsSize = 0;
    std::pair<DWORD, DWORD> handed;

private:
    MMRESULT result_;
};

TEST(WinmmJoystick, HandsWinmmTheRecordsSizeAndFlagsAndTakesBackOnlyAnAnswer)
{
    for (const MMRESULT result : {MMRESULT{JOYERR_NOERROR}, MMRESULT{JOYERR_UNPLUGGED}}) {
        auto owned = std::make_unique<ScriptedWinmm>(result);
        ScriptedWinmm& winmm = *owned;
        const auto joystick = makeWinmmJoystick(std::move(owned));
        JOYINFOEX info{};
        info.dwSize = kJoyInfoExSize;
        info.dwFlags = kJoyReturnAll;
        info.dwXpos = 7;
        const bool answered = result == JOYERR_NOERROR;
        EXPECT_EQ(joystick->position(0, info), answered);
        EXPECT_EQ(winmm.handed, (std::pair<DWORD, DWORD>{52, 255}));
        EXPECT_EQ(info.dwXpos, answered ? 1234u : 7u);
        EXPECT_EQ(info.dwPOV, answered ? 13500u : 0u) << "the D-pad's point of view comes through";
        JOYCAPS caps{};
        EXPECT_EQ(joystick->capabilities(0, caps), answered);
        EXPECT_EQ(winmm.capsSize, 144u);
        EXPECT_EQ(caps.wNumButtons, 12u) << "the record is read whatever the call returns";
    }
}

// Wine offers no joystick here, so these are the no-joystick rules.
TEST(WinmmJoystick, NoJoystickMeansNoButtons)
{
    const auto joystick = makeWinmmJoystick();
    JOYCAPS caps;
    std::memset(&caps, 0x5a, sizeof(caps));
    if (joystick->capabilities(0, caps)) {
        GTEST_SKIP() << "a joystick is attached";
    }
    EXPECT_EQ(caps.wNumButtons, 0u);
    EXPECT_EQ(caps.szPname[0], '\0');
}

TEST(WinmmJoystick, FailedPositionReadLeavesTheRecordAlone)
{
    const auto joystick = makeWinmmJoystick();
    JOYINFOEX info;
    std::memset(&info, 0x5a, sizeof(info));
    info.dwSize = kJoyInfoExSize;
    info.dwFlags = kJoyReturnAll;
    const JOYINFOEX before = info;
    // Device 15 is the last id winmm knows; nothing answers there.
    for (unsigned device : {0u, 15u}) {
        JOYCAPS caps{};
        if (joystick->capabilities(device, caps)) {
            continue;
        }
        EXPECT_FALSE(joystick->position(device, info)) << "device " << device;
        EXPECT_EQ(std::memcmp(&info, &before, sizeof(info)), 0) << "device " << device;
    }
}

}  // namespace
}  // namespace kivo
