#include "platform/virtual_key_codes.h"
#include "platform/win32/win32_backends.h"

#include "test_window.h"

#include <gtest/gtest.h>

#include <cstring>

namespace kivo {
namespace {

using test_support::KeyMessage;

TEST(Win32Keyboard, ShowsSentKeysDownWhileTheirMessagesAreHandledThenUp)
{
    test_support::TestWindow& window = test_support::TestWindow::shared();
    ASSERT_TRUE(window.activate());
    const auto keyboard = makeWin32Keyboard();
    KeyboardState whileDown{};
    window.onKey = [&](const KeyMessage& key) {
        if (key.message == WM_KEYDOWN && key.code == 'A') {
            EXPECT_TRUE(keyboard->state(whileDown));
        }
    };
    makeSendInputKeySender()->send("+a");
    test_support::pumpMessages();
    KeyboardState after{};
    after.fill(0xff);
    ASSERT_TRUE(keyboard->state(after));

    for (std::uint8_t key : {std::uint8_t{'A'}, vk::kShift, vk::kLeftShift}) {
        EXPECT_EQ(whileDown[key] & vk::kStateDown, vk::kStateDown) << "virtual key " << int{key};
        EXPECT_EQ(after[key] & vk::kStateDown, 0) << "virtual key " << int{key};
    }
}

TEST(Win32Keyboard, CapsLockIsToggledOnAndOff)
{
    test_support::TestWindow& window = test_support::TestWindow::shared();
    ASSERT_TRUE(window.activate());
    const auto keyboard = makeWin32Keyboard();
    const auto sender = makeSendInputKeySender();
    KeyboardState keys{};
    ASSERT_TRUE(keyboard->state(keys));
    const bool wasOn = (keys[vk::kCapsLock] & vk::kStateToggled) != 0;
    for (bool on : {!wasOn, wasOn}) {
        sender->send("{CAPSLOCK}");
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
