#pragma once

#include "app/single_instance.h"

#include <QLocalServer>
#include <QLockFile>

#include <chrono>

namespace kivo {

// A lock file beside kivo.ini, and a local socket through which a later start asks the running
// Kivo to bring its window to the front. A lock is a running Kivo's only while that Kivo answers
// on its socket or holds the lock file open: whatever a crash or another computer left in the
// file does not keep Kivo from starting.
class LinuxSingleInstance final : public SingleInstance {
public:
    // Where the sockets go: $XDG_RUNTIME_DIR, private to the user and emptied at logout, or the
    // temporary folder when that is unset.
    static std::filesystem::path socketFolder();

    // Standard error says why when the claim fails. A lock held by a program that does not answer
    // is waited for as long as a Kivo starting up may take to answer.
    static InstanceClaim claim(const std::filesystem::path& settingsFile, const std::filesystem::path& socketFolder,
                               std::chrono::milliseconds patience = std::chrono::seconds(5));

    void listen(std::function<void()> bringToFront) override;

private:
    LinuxSingleInstance(const QString& lockPath, QString serverName);

    QLockFile lock_;
    QString serverName_;
    QLocalServer server_;
    std::function<void()> bringToFront_;
};

}  // namespace kivo
