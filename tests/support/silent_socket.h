#pragma once

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <utility>

namespace kivo::test_support {

// A Unix socket that takes every connection and never says a word, as a hung server does: the
// kernel accepts connections into the backlog, and nobody reads them.
class SilentSocket {
public:
    explicit SilentSocket(std::filesystem::path path) : path_(std::move(path))
    {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::snprintf(address.sun_path, sizeof address.sun_path, "%s", path_.c_str());
        if (bind(socket_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 || listen(socket_, 16) != 0)
            throw std::runtime_error("SilentSocket: " + path_.string());
    }
    ~SilentSocket()
    {
        close(socket_);
        std::filesystem::remove(path_);
    }
    SilentSocket(const SilentSocket&) = delete;
    SilentSocket& operator=(const SilentSocket&) = delete;

    std::string busAddress() const { return "unix:path=" + path_.string(); }

private:
    std::filesystem::path path_;
    int socket_ = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
};

}  // namespace kivo::test_support
