#pragma once

#include "app/single_instance.h"

#include <QLocalServer>
#include <QLockFile>

#include <chrono>
#include <functional>
#include <string>

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

    // How long a running Kivo waits for its window to become active before it answers that it
    // only asked: a desktop that grants the request does so in a few round trips.
    static constexpr std::chrono::milliseconds kActivationWait{3000};

    // Standard error says why when the claim fails. A lock held by a program that does not answer
    // is waited for as long as a Kivo starting up may take to answer. A running Kivo is handed
    // what activationToken gives, asked only then, with the request to come to the front.
    static InstanceClaim claim(const std::filesystem::path& settingsFile, const std::filesystem::path& socketFolder,
                               const std::function<std::string()>& activationToken,
                               std::chrono::milliseconds patience = std::chrono::seconds(5));

    void listen(FrontRequest comeToFront) override;

private:
    LinuxSingleInstance(const QString& lockPath, QString serverName);

    QLockFile lock_;
    QString serverName_;
    QLocalServer server_;
    FrontRequest comeToFront_;
};

}  // namespace kivo
