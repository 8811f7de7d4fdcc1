#include "app/single_instance.h"

#include "app/kivo_main.h"
#include "platform/messages.h"

#include <windows.h>

#include <chrono>
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
// As long as a Kivo starting up may take to answer.
constexpr auto kPatience = 5s;
constexpr auto kRetryPause = 100ms;

using Handle = std::unique_ptr<void, decltype(&CloseHandle)>;
using Window = std::unique_ptr<HWND__, decltype(&DestroyWindow)>;

// The settings file as Windows names it, whichever spelling reached it: its folder's final path
// (links and short names resolved), in capitals, since Windows file names ignore case.
std::wstring fileKey(const fs::path& settingsFile)
{
    std::error_code error;
    fs::path file = fs::absolute(settingsFile, error).lexically_normal();
    // The first save makes the folder anyway; made now, it can be resolved.
    fs::create_directories(file.parent_path(), error);
    const HANDLE folder =
        CreateFileW(file.parent_path().c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (folder != INVALID_HANDLE_VALUE) {
        const Handle closed(folder, CloseHandle);
        std::wstring final(32768, L'\0');
        const DWORD length = GetFinalPathNameByHandleW(folder, final.data(), final.size(), FILE_NAME_NORMALIZED);
        if (length > 0 && length < final.size())
            file = fs::path(final.substr(0, length)) / file.filename();
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

// True only when the Kivo that holds the name answered that it brought its window to the front.
bool askToComeToFront(const std::wstring& name, Clock::time_point deadline)
{
    const HWND running = FindWindowExW(HWND_MESSAGE, nullptr, kAnswerClass, name.c_str());
    if (running == nullptr)
        return false;
    // Windows lets a process that was just started set the foreground window, and the running
    // one only when this one allows it.
    DWORD process = 0;
    GetWindowThreadProcessId(running, &process);
    AllowSetForegroundWindow(process);
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    DWORD_PTR answer = FALSE;
    return SendMessageTimeoutW(running, kRaiseRequest, 0, 0, SMTO_ABORTIFHUNG,
                               static_cast<UINT>(std::max(left, 1ms).count()), &answer) != 0 &&
           answer == TRUE;
}

}  // namespace

InstanceClaim claimSingleInstance(const fs::path& settingsFile)
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
            return {std::make_unique<Win32SingleInstance>(std::move(mutex), name)};
        // Let go of it, so that the mutex is gone once the Kivo holding it has ended.
        mutex.reset();
        if (askToComeToFront(name, deadline)) {
            reportAlreadyRunning(settingsFile, true);
            return {nullptr, true};
        }
        if (Clock::now() >= deadline)
            break;
        std::this_thread::sleep_for(kRetryPause);
    }
    reportProblem("another Kivo holds " + quotedPath(settingsFile) + " but does not answer; not starting, so that " +
                  "two cannot overwrite each other's assignments in it.");
    return {};
}

}  // namespace kivo
