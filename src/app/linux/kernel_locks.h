#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace kivo {

// Locks the kernel drops when their holder ends, however it ends, so that none is ever stale.

// A name in the abstract socket namespace, which one socket at a time may hold. No file stands
// for it, so nothing done to a folder frees it. The socket holding it, or -1 with errno set
// (EADDRINUSE while another process holds it).
int holdAbstractName(std::string_view name);

// The lock file at path for flock, opened without waiting and created where it may be; another
// user's opens for reading, which is all flock needs. -1 with problem set when it cannot be.
int openLockFile(const std::filesystem::path& path, std::string& problem);

// The process holding a flock on lock's file, where /proc/locks tells it.
std::optional<long> flockHolder(int lock);

}  // namespace kivo
