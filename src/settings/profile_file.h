#pragma once

#include "settings/file_encoding.h"
#include "settings/result.h"

#include <cstdint>
#include <filesystem>
#include <optional>

namespace kivo {

// kivo.ini holds one short line per joystick button, so a larger file is not one the
// program wrote, and it is not read into memory.
inline constexpr std::uintmax_t kMaxProfileFileBytes = 1024 * 1024;

// The whole text of a profile file, decoded; nothing when there is no such file.
using ProfileFileText = std::optional<FileText>;

// Fails when the file exists but cannot be read as a profile.
Result<ProfileFileText> readProfileFile(const std::filesystem::path& file);

// Moves file aside to file.bak, or to file.bak.2, file.bak.3 ... when an earlier backup
// holds that name, so that no backup is overwritten. Gives the name it now has.
Result<std::filesystem::path> keepAsBackup(const std::filesystem::path& file);

}  // namespace kivo
