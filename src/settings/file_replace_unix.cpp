#include "settings/file_replace.h"

#include "platform/messages.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

namespace kivo {
namespace {

namespace fs = std::filesystem;

Problem failure(std::string_view what, const fs::path& where, int error)
{
    return Problem{std::string(what) + ' ' + quotedPath(where) + ": " + std::generic_category().message(error)};
}

// Closes and removes the unfinished temporary file; the old file was never touched.
Problem abandoned(int descriptor, const std::string& temporary, std::string_view what)
{
    const int error = errno;
    if (descriptor >= 0)
        ::close(descriptor);
    ::unlink(temporary.c_str());
    return failure(what, temporary, error);
}

bool writeAll(int descriptor, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t written = ::write(descriptor, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            if (written == 0)
                errno = EIO;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// Makes the rename itself survive a crash. Some file systems cannot sync a folder; the
// new file is in place by then, so that does not make the save a failure.
void syncFolder(const fs::path& folder)
{
    const int descriptor = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (descriptor < 0)
        return;
    ::fsync(descriptor);
    ::close(descriptor);
}

std::string temporaryPrefix(const fs::path& target)
{
    return target.filename().string() + ".new-";
}

// Removes what saves killed half-way left behind. A live save holds a lock on its temporary
// file until the file has its name, so only files nobody holds are taken.
void removeStaleTemporaries(const fs::path& target)
{
    const std::string prefix = temporaryPrefix(target);
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder, error)) {
        if (!entry.path().filename().string().starts_with(prefix) || !entry.is_regular_file(error))
            continue;
        const int descriptor = ::open(entry.path().c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (descriptor < 0)
            continue;
        if (::flock(descriptor, LOCK_EX | LOCK_NB) == 0)
            ::unlink(entry.path().c_str());
        ::close(descriptor);
    }
}

}  // namespace

fs::path replacedFile(const fs::path& file)
{
    // As many links as the kernel follows before it gives up with ELOOP.
    constexpr int kMaxLinks = 40;
    fs::path target = file;
    std::error_code error;
    for (int link = 0; link < kMaxLinks && fs::is_symlink(target, error); ++link) {
        const fs::path next = fs::read_symlink(target, error);
        if (error)
            return file;
        target = target.parent_path() / next;
    }
    return fs::is_symlink(target, error) ? file : target;
}

// A file nobody may write is one its owner wants left alone, as the Windows profile functions
// leave a read-only file. One this user may not read would lose its other lines.
Status mayReplace(const fs::path& file)
{
    const fs::path target = replacedFile(file);
    struct stat status {};
    if (::stat(target.c_str(), &status) != 0)
        return {};
    if ((status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        return failure("will not replace the read-only file", target, EACCES);
    if (::access(target.c_str(), W_OK) != 0)
        return failure("cannot write", target, errno);
    if (::access(target.c_str(), R_OK) != 0) {
        return Problem{"will not replace " + quotedPath(target) +
                       ", which cannot be read: " + std::generic_category().message(errno)};
    }
    return {};
}

Status replaceFile(const fs::path& file, std::string_view bytes)
{
    const fs::path target = replacedFile(file);
    if (Status replaceable = mayReplace(target); !replaceable)
        return replaceable;
    removeStaleTemporaries(target);
    std::string temporary = target.string() + ".new-XXXXXX";
    const int descriptor = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (descriptor < 0)
        return failure("cannot create a temporary file beside", target, errno);
    if (::flock(descriptor, LOCK_EX) != 0)
        return abandoned(descriptor, temporary, "cannot lock");
    // The new file keeps the permissions of the one it replaces; a first file stays
    // private to its owner, as mkstemp made it.
    struct stat old {};
    if (::stat(target.c_str(), &old) == 0 && ::fchmod(descriptor, old.st_mode & 07777) != 0) {
        return abandoned(descriptor, temporary, "cannot set the permissions of");
    }
    if (!writeAll(descriptor, bytes))
        return abandoned(descriptor, temporary, "cannot write");
    if (::fsync(descriptor) != 0)
        return abandoned(descriptor, temporary, "cannot flush to disk");
    // Renamed while still open and locked, so no other save takes it for a stale one; the
    // bytes are on disk already, so closing has nothing left to fail at.
    if (::rename(temporary.c_str(), target.c_str()) != 0) {
        const int error = errno;
        ::close(descriptor);
        ::unlink(temporary.c_str());
        return failure("cannot rename " + quotedPath(temporary) + " to", target, error);
    }
    ::close(descriptor);
    syncFolder(target.parent_path());
    return {};
}

}  // namespace kivo
