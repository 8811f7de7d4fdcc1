#include "window/qt/file_watch.h"

#include <system_error>
#include <utility>

namespace kivo {

FileWatch::FileWatch(std::function<void()> changed) : changed_(std::move(changed))
{
    const auto rewatch = [this] {
        watch(files_);
        changed_();
    };
    QObject::connect(&watcher_, &QFileSystemWatcher::fileChanged, &watcher_, rewatch);
    QObject::connect(&watcher_, &QFileSystemWatcher::directoryChanged, &watcher_, rewatch);
}

void FileWatch::watch(const std::vector<std::filesystem::path>& files)
{
    files_ = files;
    QStringList paths;
    for (const std::filesystem::path& file : files) {
        for (const std::filesystem::path& path : {file, file.parent_path()}) {
            const QString name = QString::fromStdString(path.string());
            std::error_code error;
            if (!path.empty() && std::filesystem::exists(path, error) && !watcher_.files().contains(name) &&
                !watcher_.directories().contains(name) && !paths.contains(name)) {
                paths.append(name);
            }
        }
    }
    if (!paths.isEmpty())
        watcher_.addPaths(paths);
}

}  // namespace kivo
