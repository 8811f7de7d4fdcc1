#pragma once

#include <windows.h>

#include <functional>

namespace kivo {

// Windows repeats no key that SendInput holds down, so the newest held key is repeated here as the
// keyboard would repeat it: after the user's keyboard delay, then at the user's keyboard speed
// (Control Panel, Keyboard), read afresh at each new key. Runs on the thread that made it, through
// its message loop, so Kivo's ticks may sleep meanwhile.
class KeyRepeat {
public:
    explicit KeyRepeat(std::function<void()> repeat);
    ~KeyRepeat();
    KeyRepeat(const KeyRepeat&) = delete;
    KeyRepeat& operator=(const KeyRepeat&) = delete;

    // A new key went down: its first repeat is a keyboard delay away.
    void start();
    void stop();

private:
    static LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    std::function<void()> repeat_;
    HWND window_ = nullptr;
    bool delayed_ = false;
};

}  // namespace kivo
