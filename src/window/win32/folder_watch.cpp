#include "window/win32/folder_watch.h"

#include <algorithm>

namespace kivo {

namespace {

constexpr DWORD kChangesOfAFile =
    FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_LAST_WRITE | FILE_NOTIFY_CHANGE_SIZE;

}  // namespace

FolderWatch::FolderWatch(HWND window, UINT message)
    : window_(window), message_(message), stop_(CreateEventW(nullptr, TRUE, FALSE, nullptr))
{
}

FolderWatch::~FolderWatch()
{
    stop();
    if (stop_)
        CloseHandle(stop_);
}

void FolderWatch::watch(const std::vector<std::filesystem::path>& files)
{
    stop();
    std::vector<std::filesystem::path> folders;
    for (const std::filesystem::path& file : files) {
        if (file.has_parent_path() && std::ranges::find(folders, file.parent_path()) == folders.end())
            folders.push_back(file.parent_path());
    }
    for (const std::filesystem::path& folder : folders) {
        const HANDLE change = FindFirstChangeNotificationW(folder.c_str(), FALSE, kChangesOfAFile);
        if (change != INVALID_HANDLE_VALUE)
            changes_.push_back(change);
    }
    if (changes_.empty() || !stop_)
        return;
    ResetEvent(stop_);
    thread_ = std::thread([this, changes = changes_] { run(changes); });
}

void FolderWatch::stop()
{
    if (thread_.joinable()) {
        SetEvent(stop_);
        thread_.join();
    }
    for (const HANDLE change : changes_)
        FindCloseChangeNotification(change);
    changes_.clear();
}

void FolderWatch::run(std::vector<HANDLE> changes)
{
    changes.push_back(stop_);
    const auto count = static_cast<DWORD>(changes.size());
    for (;;) {
        const DWORD woken = WaitForMultipleObjects(count, changes.data(), FALSE, INFINITE);
        if (woken < WAIT_OBJECT_0 || woken >= WAIT_OBJECT_0 + count - 1)
            return;
        PostMessageW(window_, message_, 0, 0);
        if (!FindNextChangeNotification(changes[woken - WAIT_OBJECT_0]))
            return;
    }
}

}  // namespace kivo
