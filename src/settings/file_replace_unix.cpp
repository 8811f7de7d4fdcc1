#include "settings/file_replace.h"

#include "settings/messages.h"

#include <fcntl.h>
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

// A settings file that is a symbolic link, as managed dotfiles often are, stays one:
// the file it points to is replaced.
fs::path linkTarget(const fs::path& file)
{
    std::error_code error;
    if (!fs::is_symlink(file, error))
        return file;
    fs::path target = fs::weakly_canonical(file, error);
    return error ? file : target;
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

}  // namespace

Status replaceFile(const fs::path& file, std::string_view bytes)
{
    const fs::path target = linkTarget(file);
    std::string temporary = target.string() + ".new-XXXXXX";
    const int descriptor = ::mkstemp(temporary.data());
    if (descriptor < 0)
        return failure("cannot create a temporary file beside", target, errno);
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
    if (::close(descriptor) != 0)
        return abandoned(-1, temporary, "cannot close");
    if (::rename(temporary.c_str(), target.c_str()) != 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
        return failure("cannot rename " + quotedPath(temporary) + " to", target, error);
    }
    syncFolder(target.parent_path());
    return {};
}

}  // namespace kivo
