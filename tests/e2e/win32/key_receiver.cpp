// The game, for the end-to-end test under Wine: a window of another process that logs every
// key message it receives, one line each, "down|up VK SCAN EXTENDED MICROSECONDS", after a
// first line "ready <X11 window id>". The time is QueryPerformanceCounter's, in microseconds.
// "focus" and "blur" say when Wine gives it the keyboard and takes it away, which is when the
// keys sent with SendInput start and stop arriving.
// With "--frames VK N" it is instead a game that reads GetAsyncKeyState(VK) once a frame for N
// frames, prints "frames DOWN N" and ends.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

long long microsecondsNow()
{
    static const LONGLONG frequency = [] {
        LARGE_INTEGER value;
        QueryPerformanceFrequency(&value);
        return value.QuadPart;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<long long>(now.QuadPart / frequency * 1000000 + now.QuadPart % frequency * 1000000 / frequency);
}

void logKey(const char* kind, WPARAM virtualKey, LPARAM flags)
{
    const unsigned scanCode = static_cast<unsigned>((flags >> 16) & 0xFF);
    const unsigned extended = static_cast<unsigned>((flags >> 24) & 1);
    std::printf("%s %u %u %u %lld\n", kind, static_cast<unsigned>(virtualKey), scanCode, extended, microsecondsNow());
    std::fflush(stdout);
}

LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            logKey("down", wParam, lParam);
            return 0;
        case WM_KEYUP:
        case WM_SYSKEYUP:
            logKey("up", wParam, lParam);
            return 0;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            std::printf(message == WM_SETFOCUS ? "focus\n" : "blur\n");
            std::fflush(stdout);
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

int framesDown(int virtualKey, int frames)
{
    int down = 0;
    for (int frame = 0; frame < frames; ++frame) {
        down += (GetAsyncKeyState(virtualKey) & 0x8000) != 0;
        Sleep(16);  // one frame of a game at 60 frames a second
    }
    return down;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 4 && std::strcmp(argv[1], "--frames") == 0) {
        const int frames = std::atoi(argv[3]);
        std::printf("frames %d %d\n", framesDown(std::atoi(argv[2]), frames), frames);
        return 0;
    }
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = L"KivoKeyReceiver";
    RegisterClassW(&windowClass);
    const HWND window = CreateWindowExW(0, windowClass.lpszClassName, L"Kivo key receiver", WS_OVERLAPPEDWINDOW, 400,
                                        100, 300, 200, nullptr, nullptr, windowClass.hInstance, nullptr);
    ShowWindow(window, SW_SHOWNORMAL);
    MSG message;
    std::uintptr_t x11Window = 0;
    // The script's deadline bounds the wait for Wine's X window.
    while (x11Window == 0) {
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&message);
        x11Window = reinterpret_cast<std::uintptr_t>(GetPropW(window, L"__wine_x11_whole_window"));
        if (x11Window == 0)
            Sleep(10);  // the pace of looking again
    }
    std::printf("ready %lu\n", static_cast<unsigned long>(x11Window));
    std::fflush(stdout);
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
