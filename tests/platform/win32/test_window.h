#pragma once

#include <windows.h>

#include <functional>
#include <ostream>
#include <vector>

namespace kivo::test_support {

// A key message as the window procedure sees it.
struct KeyMessage {
    UINT message = 0;       // WM_KEYDOWN, WM_KEYUP, WM_SYSKEYDOWN, WM_SYSKEYUP or WM_CHAR
    unsigned code = 0;      // the virtual key, or the UTF-16 character of WM_CHAR
    unsigned scanCode = 0;  // lParam bits 16-23
    bool extended = false;  // lParam bit 24

    bool operator==(const KeyMessage&) const = default;
};

void PrintTo(const KeyMessage& key, std::ostream* out);

// A key as raw input reports it to programs that read the keyboard directly, as games do.
struct RawKey {
    unsigned makeCode = 0;
    bool e0 = false;  // the extended-key prefix
    bool up = false;

    bool operator==(const RawKey&) const = default;
};

void PrintTo(const RawKey& key, std::ostream* out);

// A top-level window of the test program that records the key messages it is sent.
class TestWindow {
public:
    // One of two windows that live as long as the test program, emptied of what it received. Without a window manager
    // Wine waits two seconds for each destroyed window to be withdrawn, so none is destroyed.
    static TestWindow& shared(int which = 0);

    HWND handle() const { return window_; }
    // Brings the window to the front and gives it the focus, as a user's click would.
    bool activate();

    // Called for each key message as it is handled, before the next one is taken.
    std::function<void(const KeyMessage&)> onKey;
    std::vector<KeyMessage> received;
    // Filled once receiveRawInput has been called.
    std::vector<RawKey> rawKeys;
    // Called with each WM_INPUT's report handle.
    std::function<void(LPARAM)> onRawInput;

    // Asks for the keyboard's raw input as well, whichever window is in front.
    bool receiveRawInput();

private:
    TestWindow();

    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND window_ = nullptr;
};

// Handles the thread's messages until none has arrived for a while, so that keys sent
// before have all been delivered.
void pumpMessages();

}  // namespace kivo::test_support
