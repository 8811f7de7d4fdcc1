#pragma once

#include <QFileSystemWatcher>

#include <filesystem>
#include <functional>
#include <vector>

namespace kivo {

// Calls changed whenever one of the files may have been written, replaced, created or removed.
// An editor that saves by renaming a new file over the old one ends the watch of the old file,
// so the files' folders are watched too, and each change watches whatever now exists.
class FileWatch {
public:
    explicit FileWatch(std::function<void()> changed);

    void watch(const std::vector<std::filesystem::path>& files);

private:
    QFileSystemWatcher watcher_;
    std::vector<std::filesystem::path> files_;
    std::function<void()> changed_;
};

}  // namespace kivo
