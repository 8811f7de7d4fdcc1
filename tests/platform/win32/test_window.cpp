#include "test_window.h"

#include "support/waits.h"

namespace kivo::test_support {
namespace {

constexpr wchar_t kClassName[] = L"KivoTestWindow";
// Sent input reaches the window through Wine's server and X; a quiet span means all of it has
// arrived.
constexpr DWORD kQuietMilliseconds = static_cast<DWORD>(kQuietSpan.count());

bool isKeyMessage(UINT message)
{
    return message == WM_KEYDOWN || message == WM_KEYUP || message == WM_SYSKEYDOWN || message == WM_SYSKEYUP ||
           message == WM_CHAR || message == WM_SYSCHAR;
}

}  // namespace

void PrintTo(const KeyMessage& key, std::ostream* out)
{
    *out << "{message 0x" << std::hex << key.message << ", code 0x" << key.code << ", scan 0x" << key.scanCode
         << std::dec << (key.extended ? ", extended}" : "}");
}

TestWindow::TestWindow()
{
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = &TestWindow::procedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kClassName;
    RegisterClassW(&windowClass);
    window_ = CreateWindowExW(0, kClassName, L"Kivo test", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 200, 100, nullptr,
                              nullptr, windowClass.hInstance, nullptr);
    SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

void PrintTo(const RawKey& key, std::ostream* out)
{
    *out << "{make code 0x" << std::hex << key.makeCode << std::dec << (key.e0 ? ", E0" : "")
         << (key.up ? ", up}" : "}");
}

TestWindow& TestWindow::shared(int which)
{
    static TestWindow* const windows[] = {new TestWindow, new TestWindow};
    TestWindow& window = *windows[which];
    window.onKey = nullptr;
    window.received.clear();
    window.rawKeys.clear();
    window.onRawInput = nullptr;
    return window;
}

bool TestWindow::activate()
{
    SetForegroundWindow(window_);
    SetFocus(window_);
    pumpMessages();
    return GetForegroundWindow() == window_ && GetFocus() == window_;
}

bool TestWindow::receiveRawInput()
{
    constexpr USHORT kGenericDesktop = 1;
    constexpr USHORT kKeyboard = 6;
    const RAWINPUTDEVICE keyboard{kGenericDesktop, kKeyboard, RIDEV_INPUTSINK, window_};
    return RegisterRawInputDevices(&keyboard, 1, sizeof(keyboard)) != FALSE;
}

LRESULT CALLBACK TestWindow::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* self = reinterpret_cast<TestWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self != nullptr && message == WM_INPUT) {
        if (self->onRawInput) {
            self->onRawInput(lParam);
        }
        RAWINPUT input{};
        UINT size = sizeof(input);
        if (GetRawInputData(reinterpret_cast<HRAWINPUT>(lParam), RID_INPUT, &input, &size, sizeof(RAWINPUTHEADER)) !=
                static_cast<UINT>(-1) &&
            input.header.dwType == RIM_TYPEKEYBOARD) {
            const RAWKEYBOARD& key = input.data.keyboard;
            self->rawKeys.push_back({key.MakeCode, (key.Flags & RI_KEY_E0) != 0, (key.Flags & RI_KEY_BREAK) != 0});
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }
    if (self == nullptr || !isKeyMessage(message)) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    const KeyMessage key{message, static_cast<unsigned>(wParam), static_cast<unsigned>((lParam >> 16) & 0xff),
                         ((lParam >> 24) & 1) != 0};
    self->received.push_back(key);
    if (self->onKey) {
        self->onKey(key);
    }
    return 0;
}

void pumpMessages()
{
    for (;;) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        if (MsgWaitForMultipleObjects(0, nullptr, FALSE, kQuietMilliseconds, QS_ALLINPUT) == WAIT_TIMEOUT) {
            return;
        }
    }
}

}  // namespace kivo::test_support
