#include "settings/profile_file.h"

#include "platform/messages.h"
#include "settings/location.h"

#include <cerrno>
#include <fstream>
#include <system_error>

namespace kivo {
namespace {

namespace fs = std::filesystem;

constexpr int kMaxBackups = 99;

}  // namespace

Result<ProfileFileText> readProfileFile(const fs::path& file)
{
    std::error_code error;
    const fs::file_status status = fs::status(file, error);
    if (status.type() == fs::file_type::not_found)
        return ProfileFileText();
    if (error)
        return Problem{"it cannot be looked at: " + error.message()};
    // Opening a FIFO or a device could block or never end.
    if (!fs::is_regular_file(status))
        return Problem{"it is not a regular file"};
    const std::uintmax_t size = fs::file_size(file, error);
    if (error)
        return Problem{"its size cannot be read: " + error.message()};
    if (size > kMaxProfileFileBytes)
        return Problem{"it is larger than 1 MiB"};

    errno = 0;
    std::ifstream in(file, std::ios::binary);
    if (!in.is_open()) {
        return Problem{"it cannot be opened: " + std::generic_category().message(errno == 0 ? EIO : errno)};
    }
    std::string text(static_cast<std::size_t>(size), '\0');
    // A short read is an error here: taking part of the file for all of it would lose
    // the rest at the next save.
    if (!in.read(text.data(), static_cast<std::streamsize>(size)))
        return Problem{"it cannot be read to its end"};
    // Such a file would not come through a save whole: it is kept aside instead.
    Result<FileText> decoded = decodeFileText(text, kNewFileLineEnding);
    if (!decoded)
        return Problem{decoded.problem()};
    return ProfileFileText(decoded.value());
}

Result<fs::path> keepAsBackup(const fs::path& file)
{
    for (int number = 1; number <= kMaxBackups; ++number) {
        fs::path backup = file;
        backup += number == 1 ? std::string(".bak") : ".bak." + std::to_string(number);
        std::error_code error;
        if (fs::exists(fs::symlink_status(backup, error)))
            continue;
        fs::rename(file, backup, error);
        if (!error)
            return backup;
        return Problem{"it cannot be renamed to " + quotedPath(backup) + ": " + error.message()};
    }
    return Problem{"all of its backup names up to .bak." + std::to_string(kMaxBackups) + " are taken"};
}

}  // namespace kivo
