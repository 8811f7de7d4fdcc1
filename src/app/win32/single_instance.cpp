#include "app/win32/single_instance.h"

#include "platform/messages.h"

#include <windows.h>

#include <bcrypt.h>

#include <array>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <system_error>

namespace kivo {
namespace {

namespace fs = std::filesystem;

// A message-only window of this class, named like the mutex, answers later starts; the message
// is private to the class.
constexpr wchar_t kAnswerClass[] = L"Kivo.SingleInstance";
constexpr UINT kRaiseRequest = WM_APP;

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

// The bytes of text as Windows keeps it, UTF-16 little-endian.
std::string_view bytesOf(const std::wstring& text)
{
    return {reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t)};
}

// Told by the message-only window that answers a later start; 0, what a window that is gone or
// hung gives, is no answer.
constexpr LRESULT kCameToFront = 1;
constexpr LRESULT kAskedOnly = 2;

// The claim of a start that holds the mutex, and the message-only window that answers later starts.
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
        // Windows decides at once whether the window comes to the front; an answer not given by
        // the time the request has been carried out says only that it was asked. The answer owns
        // what it writes to, so one given later writes to nothing that has gone.
        const auto reply = std::make_shared<LRESULT>(kAskedOnly);
        instance->comeToFront_({}, [reply](bool cameToFront) { *reply = cameToFront ? kCameToFront : kAskedOnly; });
        return *reply;
    }

    Handle mutex_;
    std::wstring name_;
    Window window_{nullptr, DestroyWindow};
    FrontRequest comeToFront_;
};

// A named mutex in the session's namespace (another user's Kivo is not ours), which Windows
// drops once every Kivo that opened it has ended.
class Win32InstanceLock final : public InstanceLock {
public:
    explicit Win32InstanceLock(std::wstring name) : name_(std::move(name)) {}

    std::variant<Running, Held> take() override
    {
        Handle mutex(CreateMutexW(nullptr, FALSE, (L"Local\\" + name_).c_str()), CloseHandle);
        const DWORD error = GetLastError();
        if (!mutex)
            return Running{std::make_unique<Win32SingleInstance>(std::move(mutex), name_),
                           "error " + std::to_string(error)};
        if (error != ERROR_ALREADY_EXISTS)
            return Running{std::make_unique<Win32SingleInstance>(std::move(mutex), name_)};
        // Let go of it, so that the mutex is gone once the Kivo holding it has ended. Its process
        // is known once its window is there.
        DWORD process = 0;
        if (const HWND running = answerWindow())
            GetWindowThreadProcessId(running, &process);
        return Held{process != 0 ? std::optional<long>(process) : std::nullopt};
    }

    FrontAnswer askToComeToFront(const LaunchTokens&, std::chrono::milliseconds patience) override
    {
        const HWND running = answerWindow();
        if (running == nullptr)
            return FrontAnswer::NoAnswer;
        // Windows lets a process that was just started set the foreground window, and the
        // running one only when this one allows it.
        DWORD process = 0;
        GetWindowThreadProcessId(running, &process);
        AllowSetForegroundWindow(process);
        DWORD_PTR reply = 0;
        if (SendMessageTimeoutW(running, kRaiseRequest, 0, 0, SMTO_ABORTIFHUNG, static_cast<UINT>(patience.count()),
                                &reply) == 0)
            return FrontAnswer::NoAnswer;
        if (reply == kCameToFront)
            return FrontAnswer::CameToFront;
        return reply == kAskedOnly ? FrontAnswer::AskedOnly : FrontAnswer::NoAnswer;
    }

private:
    HWND answerWindow() const { return FindWindowExW(HWND_MESSAGE, nullptr, kAnswerClass, name_.c_str()); }

    std::wstring name_;
};

}  // namespace

std::wstring win32InstanceName(const std::wstring& fileKey)
{
    // SHA-1, as on Linux, and not std::hash, which may differ between two builds: a Kivo started
    // after an update finds the one that runs.
    std::array<unsigned char, 20> digest{};
    BCRYPT_ALG_HANDLE sha1 = nullptr;
    if (BCryptOpenAlgorithmProvider(&sha1, BCRYPT_SHA1_ALGORITHM, nullptr, 0) == 0) {
        const std::string_view bytes = bytesOf(fileKey);
        BCryptHash(sha1, nullptr, 0, reinterpret_cast<PUCHAR>(const_cast<char*>(bytes.data())),
                   static_cast<ULONG>(bytes.size()), digest.data(), static_cast<ULONG>(digest.size()));
        BCryptCloseAlgorithmProvider(sha1, 0);
    }
    std::wstring name = L"Kivo.";
    for (const unsigned char byte : std::span(digest).first(8)) {
        constexpr wchar_t kHex[] = L"0123456789abcdef";
        name += kHex[byte >> 4];
        name += kHex[byte & 0xf];
    }
    return name;
}

Claim claimSingleInstance(const fs::path& settingsFile)
{
    Win32InstanceLock lock(win32InstanceName(fileKey(settingsFile)));
    return claimSingleInstance(lock, [] { return LaunchTokens{}; });
}

}  // namespace kivo
