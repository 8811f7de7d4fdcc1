#include "app/linux/kernel_locks.h"

#include "platform/messages.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

namespace kivo {

int holdAbstractName(std::string_view name)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    // A leading NUL puts the name in the abstract namespace.
    if (name.size() + 1 > sizeof address.sun_path) {
        errno = ENAMETOOLONG;
        return -1;
    }
    name.copy(address.sun_path + 1, name.size());
    const int holder = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (holder < 0)
        return -1;
    const auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + name.size());
    if (::bind(holder, reinterpret_cast<const sockaddr*>(&address), length) != 0) {
        const int error = errno;
        ::close(holder);
        errno = error;
        return -1;
    }
    return holder;
}

// Without waiting: a FIFO in its place would wait for a writer for ever, and only a regular file
// is a lock.
int openLockFile(const std::filesystem::path& path, std::string& problem)
{
    constexpr int kFlags = O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
    int lock = ::open(path.c_str(), O_RDWR | O_CREAT | kFlags, 0644);
    const int createError = errno;
    if (lock < 0)
        lock = ::open(path.c_str(), O_RDONLY | kFlags);
    if (lock < 0) {
        // A file that is not there could not be made either: that is what went wrong.
        const int error = errno == ENOENT ? createError : errno;
        problem = "cannot open or create " + quotedPath(path) + ": " + std::strerror(error);
        return -1;
    }
    struct stat status {};
    if (::fstat(lock, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(lock);
        problem = quotedPath(path) + " is not a regular file";
        return -1;
    }
    return lock;
}

// /proc/locks says "1: FLOCK ADVISORY WRITE <pid> <major>:<minor>:<inode> 0 EOF", the device
// numbers in hex; waiters' lines have a "->".
std::optional<long> flockHolder(int lock)
{
    struct stat file {};
    if (lock < 0 || ::fstat(lock, &file) != 0)
        return std::nullopt;
    char id[64];
    std::snprintf(id, sizeof id, "%02x:%02x:%lu", major(file.st_dev), minor(file.st_dev),
                  static_cast<unsigned long>(file.st_ino));
    std::ifstream locks("/proc/locks");
    for (std::string line; std::getline(locks, line);) {
        std::istringstream fields(line);
        std::string number, kind, mode, access, lockedFile;
        long process = 0;
        if (fields >> number >> kind >> mode >> access >> process >> lockedFile && kind == "FLOCK" &&
            lockedFile == id && process > 0) {
            return process;
        }
    }
    return std::nullopt;
}

}  // namespace kivo
