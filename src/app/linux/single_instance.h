#pragma once

#include "app/single_instance.h"

#include <chrono>
#include <filesystem>
#include <string>

namespace kivo {

// A lock named after kivo.ini, and a local socket through which a later start asks the running
// Kivo to bring its window to the front. The lock is a name in the abstract socket namespace,
// with flock on kivo.ini.lock beside it; the kernel drops both when their holder ends however it
// ends, so there is no stale lock to judge, and deleting the settings folder frees neither.
class LinuxInstanceLock final : public InstanceLock {
public:
    // Where the sockets go: $XDG_RUNTIME_DIR, private to the user and emptied at logout, or the
    // temporary folder when that is unset.
    static std::filesystem::path socketFolder();

    LinuxInstanceLock(const std::filesystem::path& settingsFile, const std::filesystem::path& socketFolder);
    ~LinuxInstanceLock() override;
    LinuxInstanceLock(const LinuxInstanceLock&) = delete;
    LinuxInstanceLock& operator=(const LinuxInstanceLock&) = delete;

    std::variant<Running, Held> take() override;
    FrontAnswer askToComeToFront(const LaunchTokens& tokens, std::chrono::milliseconds patience) override;

private:
    Held held() const;

    std::filesystem::path lockPath_;
    std::string socketPath_;
    std::string heldName_;
    int lock_ = -1;
    std::string openProblem_;
};

}  // namespace kivo
