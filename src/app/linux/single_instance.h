#pragma once

#include "app/single_instance.h"

#include <QLocalServer>

#include <chrono>
#include <functional>
#include <string>

namespace kivo {

// A lock beside kivo.ini, and a local socket through which a later start asks the running Kivo
// to bring its window to the front. The lock is flock on kivo.ini.lock, which the kernel drops
// when its holder ends however it ends; the file itself is never deleted, so every start locks
// the same file and there is no stale lock to judge.
class LinuxSingleInstance final : public SingleInstance {
public:
    // Where the sockets go: $XDG_RUNTIME_DIR, private to the user and emptied at logout, or the
    // temporary folder when that is unset.
    static std::filesystem::path socketFolder();

    // How long a running Kivo waits for its window to become active before it answers that it
    // only asked: a desktop that grants the request does so in a few round trips.
    static constexpr std::chrono::milliseconds kActivationWait{3000};

    // A Kivo holding the lock is asked to come to the front for as long as one starting up may
    // take to answer; one that does not answer by then is busy or stopped, and this start ends
    // all the same. Standard error says which. A running Kivo is handed what activationToken
    // gives, asked only then, with the request to come to the front.
    static std::unique_ptr<SingleInstance> claim(const std::filesystem::path& settingsFile,
                                                 const std::filesystem::path& socketFolder,
                                                 const std::function<std::string()>& activationToken,
                                                 std::chrono::milliseconds patience = std::chrono::seconds(5));

    ~LinuxSingleInstance() override;
    LinuxSingleInstance(const LinuxSingleInstance&) = delete;
    LinuxSingleInstance& operator=(const LinuxSingleInstance&) = delete;

    void listen(FrontRequest comeToFront) override;

private:
    LinuxSingleInstance(int lock, QString serverName);

    int lock_;
    QString serverName_;
    QLocalServer server_;
    FrontRequest comeToFront_;
};

}  // namespace kivo
