#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace kivo {

// kivo.ini holds one short line per joystick button, so a larger file is not one the
// program wrote, and it is not read into memory.
inline constexpr std::uintmax_t kMaxProfileFileBytes = 1024 * 1024;

struct ProfileFileContents {
    enum class State { Missing, Read, Unusable };
    State state = State::Missing;
    std::string text;     // the whole file, when Read
    std::string problem;  // why it cannot be read as a profile, when Unusable
};

ProfileFileContents readProfileFile(const std::filesystem::path& file);

// Moves file aside to file.bak, or to file.bak.2, file.bak.3 ... when an earlier backup
// holds that name, so that no backup is overwritten. Returns the name it now has, or
// nothing, with the reason in problem.
std::optional<std::filesystem::path> keepAsBackup(const std::filesystem::path& file, std::string& problem);

}  // namespace kivo
