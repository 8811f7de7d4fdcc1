// Runs Kivo exactly as kivo.exe does, with a joystick scripted line by line from standard
// input, so scripts can test and measure the whole program under Wine. Same command line and
// protocol as the Linux host.
#include "app/single_instance.h"
#include "app/win32/win32_edge.h"
#include "e2e/host_commands.h"
#include "e2e/win32/scripted_joystick.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <optional>
#include <string>
#include <thread>

namespace {

using kivo::e2e::ScriptedJoystick;

// The X window Wine made for the form, the one xdotool can focus.
unsigned long x11Window(HWND form)
{
    return static_cast<unsigned long>(reinterpret_cast<std::uintptr_t>(GetPropW(form, L"__wine_x11_whole_window")));
}

// The form and the wake-ups belong to the window's thread; the reader thread sends its calls
// there through a message-only window, which runs sent messages even inside modal loops.
class WindowThread {
public:
    WindowThread()
    {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = procedure;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"KivoE2eWindowThread";
        RegisterClassW(&windowClass);
        window_ = CreateWindowExW(0, windowClass.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  windowClass.hInstance, nullptr);
    }
    // Returns once `call` has run on the window's thread.
    void run(const std::function<void()>& call) { SendMessageW(window_, WM_APP, 0, reinterpret_cast<LPARAM>(&call)); }

private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message != WM_APP)
            return DefWindowProcW(window, message, wParam, lParam);
        (*reinterpret_cast<const std::function<void()>*>(lParam))();
        return 0;
    }

    HWND window_ = nullptr;
};

// Ends with whether Wine has Kivo's window in front, as its keyboard and ticks see it; a
// script waits for that before it types there.
void printLabels(kivo::Form1& form)
{
    for (int i = 0; form.exists(i); ++i)
        std::printf("label %d %d %s\n", i + 1, form.labelShownBold(i) ? 1 : 0, form.caption(i).c_str());
    std::printf("front %d\nend\n", GetForegroundWindow() == form.window() ? 1 : 0);
    std::fflush(stdout);
}

struct Host {
    const kivo::e2e::HostOptions& options;
    ScriptedJoystick& stick;
    kivo::Win32Edge& edge;
    kivo::Form1& form;
    WindowThread& windowThread;
};

kivo::e2e::HostActions actionsOn(const Host& host)
{
    ScriptedJoystick& stick = host.stick;
    return {
        [&stick](std::uint32_t x, std::uint32_t y) { stick.moveTo(x, y); },
        [&stick](int button, bool down) { stick.setButton(button, down); },
        [&stick](std::uint32_t pov) { stick.pointDpad(pov); }, [&stick](bool plugged) { stick.setPlugged(plugged); },
        [&host] { host.windowThread.run([&host] { printLabels(host.form); }); },
        // The joystick reports a change as raw input would.
        [&host] {
            if (host.options.watched)
                host.windowThread.run([&host] { host.edge.joystickReports().reported(ScriptedJoystick::kIdentity); });
        }};
}

// At the end of input Kivo keeps running until it is closed, like kivo.exe. Reads the handle
// itself: a thread blocked inside the C library's stdin would hold its lock when main returns.
void readCommands(const Host& host)
{
    const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    const kivo::e2e::HostActions actions = actionsOn(host);
    std::string pending;
    char chunk[4096];
    DWORD count = 0;
    while (ReadFile(input, chunk, sizeof chunk, &count, nullptr) && count > 0) {
        pending.append(chunk, count);
        for (std::size_t end; (end = pending.find('\n')) != std::string::npos; pending.erase(0, end + 1)) {
            std::string line = pending.substr(0, end);
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            kivo::e2e::runHostCommand(line, host.options.buttons, actions);
        }
    }
}

}  // namespace

int main(int argc, char** argv)
{
    const kivo::e2e::HostOptions options = kivo::e2e::readHostOptions(argc, argv);
    auto owned = std::make_unique<ScriptedJoystick>(options.buttons, options.restX, options.restY);
    ScriptedJoystick& stick = *owned;
    kivo::Win32Edge edge(std::move(owned));
    WindowThread windowThread;
    std::optional<Host> host;
    return kivo::runClaimed([&](kivo::SingleInstance& instance) {
        return kivo::runWin32Kivo(edge, instance, [&](kivo::Form1& form) {
            unsigned long window = 0;
            // Wine creates the X window while the form is first shown; a few messages may be needed.
            // The script's deadline bounds the wait.
            while ((window = x11Window(form.window())) == 0) {
                MSG message;
                while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
                    DispatchMessageW(&message);
                Sleep(10);  // the pace of looking again
            }
            std::printf("ready %lu\n", window);
            std::fflush(stdout);
            host.emplace(Host{options, stick, edge, form, windowThread});
            std::thread reader(readCommands, std::cref(*host));
            reader.detach();
        });
    });
}
