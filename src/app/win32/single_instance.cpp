#include "app/single_instance.h"

#include "app/kivo_main.h"
#include "platform/messages.h"

#include <windows.h>

#include <chrono>
#include <optional>
#include <string>
#include <system_error>
#include <thread>

namespace kivo {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// A message-only window of this class, named like the mutex, answers later starts; the message
// is private to the class.
constexpr wchar_t kAnswerClass[] = L"Kivo.SingleInstance";
constexpr UINT kRaiseRequest = WM_APP;
// As long as a Kivo starting up may take to make its window; one that has none by then is still
// starting, busy or stopped, and this start ends all the same.
constexpr auto kPatience = 5s;
constexpr auto kRetryPause = 100ms;

using Handle = std::unique_ptr<void, decltype(&CloseHandle)>;
using Window = std::unique_ptr<HWND__, decltype(&DestroyWindow)>;

// Without the prefix that turns Windows' own path rules off, so that they apply to every spelling.
std::wstring withoutVerbatimPrefix(const std::wstring& path)
{
    if (path.starts_with(LR"(\\?\UNC\)"))
        return LR"(\\)" + path.substr(8);
    if (path.starts_with(LR"(\\?\)"))
        return path.substr(4);
    return path;
}

// The path Windows opens for path: made absolute, "." and ".." taken out, and the dots and blanks
// that end the file name dropped, as Windows drops them.
fs::path fullPath(const fs::path& path)
{
    const std::wstring given = withoutVerbatimPrefix(path.wstring());
    std::wstring full(GetFullPathNameW(given.c_str(), 0, nullptr, nullptr), L'\0');
    const DWORD length = GetFullPathNameW(given.c_str(), full.size(), full.data(), nullptr);
    if (length == 0 || length >= full.size())
        return given;
    full.resize(length);
    return full;
}

// The settings file as Windows names it, whichever spelling reached it: its folder's final path
// (links and short names resolved), in capitals, since Windows file names ignore case.
std::wstring fileKey(const fs::path& settingsFile)
{
    fs::path file = fullPath(settingsFile);
    // The first save makes the folder anyway; made now, it can be resolved.
    std::error_code error;
    fs::create_directories(file.parent_path(), error);
    const HANDLE folder =
        CreateFileW(file.parent_path().c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (folder != INVALID_HANDLE_VALUE) {
        const Handle closed(folder, CloseHandle);
        std::wstring final(32768, L'\0');
        const DWORD length = GetFinalPathNameByHandleW(folder, final.data(), final.size(), FILE_NAME_NORMALIZED);
        if (length > 0 && length < final.size())
            file = fs::path(withoutVerbatimPrefix(final.substr(0, length))) / file.filename();
    }
    std::wstring key = file.wstring();
    CharUpperBuffW(key.data(), static_cast<DWORD>(key.size()));
    return key;
}

// A named mutex for the claim, in the session's namespace: another user's Kivo is not ours.
class Win32SingleInstance final : public SingleInstance {
public:
    Win32SingleInstance(Handle mutex, std::wstring name) : mutex_(std::move(mutex)), name_(std::move(name)) {}

    void listen(FrontRequest comeToFront) override
    {
        comeToFront_ = std::move(comeToFront);
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = answer;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = kAnswerClass;
        RegisterClassW(&windowClass);
        window_.reset(CreateWindowExW(0, kAnswerClass, name_.c_str(), 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                      windowClass.hInstance, nullptr));
        if (!window_) {
            reportProblem("a second start of Kivo cannot bring this window to the front: error " +
                          std::to_string(GetLastError()));
            return;
        }
        SetWindowLongPtrW(window_.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }

private:
    static LRESULT CALLBACK answer(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        auto* instance = reinterpret_cast<Win32SingleInstance*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (message != kRaiseRequest || instance == nullptr)
            return DefWindowProcW(window, message, wParam, lParam);
        // Windows lets the window come to the front, as the later start allowed it.
        instance->comeToFront_({}, [](bool) {});
        return TRUE;
    }

    Handle mutex_;
    std::wstring name_;
    Window window_{nullptr, DestroyWindow};
    FrontRequest comeToFront_;
};

// What the Kivo holding the name said when asked to come to the front.
struct FrontReply {
    bool raised = false;
    // Its process, once its window is there.
    std::optional<long> process;
};

FrontReply askToComeToFront(const std::wstring& name, Clock::time_point deadline)
{
    const HWND running = FindWindowExW(HWND_MESSAGE, nullptr, kAnswerClass, name.c_str());
    if (running == nullptr)
        return {};
    // Windows lets a process that was just started set the foreground window, and the running
    // one only when this one allows it.
    DWORD process = 0;
    GetWindowThreadProcessId(running, &process);
    AllowSetForegroundWindow(process);
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    DWORD_PTR answer = FALSE;
    const bool raised = SendMessageTimeoutW(running, kRaiseRequest, 0, 0, SMTO_ABORTIFHUNG,
                                            static_cast<UINT>(std::max(left, 1ms).count()), &answer) != 0 &&
                        answer == TRUE;
    return {raised, process};
}

}  // namespace

std::unique_ptr<SingleInstance> claimSingleInstance(const fs::path& settingsFile)
{
    const std::wstring name = L"Kivo." + std::to_wstring(std::hash<std::wstring>{}(fileKey(settingsFile)));
    const Clock::time_point deadline = Clock::now() + kPatience;
    for (;;) {
        Handle mutex(CreateMutexW(nullptr, FALSE, (L"Local\\" + name).c_str()), CloseHandle);
        const DWORD error = GetLastError();
        if (!mutex)
            reportProblem("cannot make sure no other Kivo uses " + quotedPath(settingsFile) + " (error " +
                          std::to_string(error) + "); starting anyway.");
        if (!mutex || error != ERROR_ALREADY_EXISTS)
            return std::make_unique<Win32SingleInstance>(std::move(mutex), name);
        // Let go of it, so that the mutex is gone once the Kivo holding it has ended.
        mutex.reset();
        const FrontReply reply = askToComeToFront(name, deadline);
        if (reply.raised) {
            reportAlreadyRunning(settingsFile, true);
            return nullptr;
        }
        if (Clock::now() >= deadline) {
            reportAlreadyRunningUnanswered(settingsFile, reply.process);
            return nullptr;
        }
        std::this_thread::sleep_for(kRetryPause);
    }
}

}  // namespace kivo
