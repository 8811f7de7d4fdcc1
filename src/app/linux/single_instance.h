#pragma once

#include <QLocalServer>
#include <QLockFile>

#include <filesystem>
#include <functional>
#include <memory>

namespace kivo {

// One Kivo per settings file, so that two copies cannot overwrite each other's assignments: a
// lock file beside kivo.ini, and a local socket through which a later start asks the running
// Kivo to bring its window to the front. A lock left by a Kivo that crashed does not count.
class SingleInstance {
public:
    // nullptr when another Kivo holds the settings file; it has then been asked to come to the
    // front and standard error says so.
    static std::unique_ptr<SingleInstance> claim(const std::filesystem::path& settingsFile);

    // Calls bringToFront whenever a later start asks.
    void listen(std::function<void()> bringToFront);

private:
    SingleInstance(const QString& lockPath, QString serverName);

    QLockFile lock_;
    QString serverName_;
    QLocalServer server_;
    std::function<void()> bringToFront_;
};

}  // namespace kivo
