#pragma once

#include "settings/result.h"

#include <filesystem>
#include <string_view>

namespace kivo {

// Gives file the contents bytes by writing them to a temporary file in the same folder,
// flushing that to disk and renaming it over file. A crash, a kill or a full disk at
// any moment therefore leaves either the old file or the new one, whole. When it fails,
// the temporary file is gone and the old file is as it was. A read-only file is not
// replaced, and temporary files that killed saves left beside it are removed.
Status replaceFile(const std::filesystem::path& file, std::string_view bytes);

// Fails for a file Kivo may not replace: one its owner made read-only, and on Linux one this
// user may not write or read. Root, who may write anything, leaves a read-only file alone too.
Status mayReplace(const std::filesystem::path& file);

// The file a save through file replaces. A settings file that is a symbolic link, as managed
// dotfiles often are, stays one: the file at the end of its links is replaced, or created when
// it does not exist yet. On Windows, file itself.
std::filesystem::path replacedFile(const std::filesystem::path& file);

}  // namespace kivo
