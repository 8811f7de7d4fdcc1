#include "platform/win32/key_repeat.h"

#include <utility>

namespace kivo {
namespace {

constexpr wchar_t kClassName[] = L"KivoKeyRepeat";
constexpr UINT_PTR kTimer = 1;

// The keyboard delay setting runs from 0 (250 ms) to 3 (1 s) in steps of 250 ms.
UINT keyboardDelayMs()
{
    int setting = 1;
    SystemParametersInfoW(SPI_GETKEYBOARDDELAY, 0, &setting, 0);
    return static_cast<UINT>(250 * (1 + setting));
}

// The keyboard speed setting runs from 0 (about 2.5 repeats a second) to 31 (about 30).
UINT keyboardRepeatIntervalMs()
{
    DWORD setting = 31;
    SystemParametersInfoW(SPI_GETKEYBOARDSPEED, 0, &setting, 0);
    const double perSecond = 2.5 + static_cast<double>(setting) * 27.5 / 31.0;
    return static_cast<UINT>(1000.0 / perSecond);
}

}  // namespace

KeyRepeat::KeyRepeat(std::function<void()> repeat) : repeat_(std::move(repeat))
{
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = windowProcedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kClassName;
    RegisterClassW(&windowClass);
    window_ = CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, windowClass.hInstance, nullptr);
    if (window_)
        SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

KeyRepeat::~KeyRepeat()
{
    if (window_)
        DestroyWindow(window_);
}

void KeyRepeat::start()
{
    delayed_ = true;
    if (window_)
        SetTimer(window_, kTimer, keyboardDelayMs(), nullptr);
}

void KeyRepeat::stop()
{
    if (window_)
        KillTimer(window_, kTimer);
}

LRESULT CALLBACK KeyRepeat::windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* repeat = reinterpret_cast<KeyRepeat*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message != WM_TIMER || !repeat)
        return DefWindowProcW(window, message, wParam, lParam);
    if (repeat->delayed_) {
        repeat->delayed_ = false;
        SetTimer(window, kTimer, keyboardRepeatIntervalMs(), nullptr);
    }
    repeat->repeat_();
    return 0;
}

}  // namespace kivo
