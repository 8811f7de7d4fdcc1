#pragma once

#include "support/ending.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

namespace kivo::test_support {

// A session bus of the test's own, so that no desktop's is touched: dbus-daemon, listening at
// the socket given, or where it chooses.
class PrivateSessionBus {
public:
    explicit PrivateSessionBus(const std::filesystem::path& socket = {})
    {
        std::string command = "dbus-daemon --session --fork --print-address=1 --print-pid=1";
        if (!socket.empty())
            command += " --address=unix:path=" + socket.string();
        if (std::FILE* daemon = popen(command.c_str(), "r")) {
            // It prints its address first, then its process id.
            char line[512] = {};
            if (std::fgets(line, sizeof line, daemon) != nullptr)
                address_ = std::string(line).substr(0, std::strcspn(line, "\n"));
            if (std::fscanf(daemon, "%d", &pid_) != 1)
                pid_ = 0;
            pclose(daemon);
        }
    }
    // Gone before the folder of its socket is, which it would otherwise empty while it is removed.
    ~PrivateSessionBus()
    {
        if (pid_ > 0)
            endProcess(pid_);
    }
    PrivateSessionBus(const PrivateSessionBus&) = delete;
    PrivateSessionBus& operator=(const PrivateSessionBus&) = delete;

    // False when dbus-daemon is missing; scripts/bootstrap.sh installs it.
    bool started() const { return pid_ > 0 && !address_.empty(); }
    const std::string& address() const { return address_; }

private:
    std::string address_;
    pid_t pid_ = 0;
};

}  // namespace kivo::test_support
