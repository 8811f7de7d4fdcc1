#pragma once

#include <windows.h>

#include <filesystem>
#include <thread>
#include <vector>

namespace kivo {

// Posts `message` to a window whenever a file in the watched files' folders is written, created,
// renamed or deleted. Windows has no watch of one file through its links, but a watch of its
// folder sleeps until something there changes, where looking at the file's time would wake Kivo
// again and again for nothing.
class FolderWatch {
public:
    FolderWatch(HWND window, UINT message);
    ~FolderWatch();
    FolderWatch(const FolderWatch&) = delete;
    FolderWatch& operator=(const FolderWatch&) = delete;

    // Watches the folders of these files from now on, and no others; a folder that does not
    // exist is not watched.
    void watch(const std::vector<std::filesystem::path>& files);

private:
    void stop();
    void run(std::vector<HANDLE> changes);

    HWND window_;
    UINT message_;
    HANDLE stop_ = nullptr;
    std::vector<HANDLE> changes_;
    std::thread thread_;
};

}  // namespace kivo
