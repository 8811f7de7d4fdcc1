#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace kivo {

// The levels a key is typed at: by itself, with Shift, with AltGr, with Shift and AltGr.
enum class KeyLevel : std::uint8_t { Plain, Shift, AltGr, ShiftAltGr };
inline constexpr std::size_t kKeyLevels = 4;

constexpr bool needsShift(KeyLevel level)
{
    return level == KeyLevel::Shift || level == KeyLevel::ShiftAltGr;
}
constexpr bool needsAltGr(KeyLevel level)
{
    return level == KeyLevel::AltGr || level == KeyLevel::ShiftAltGr;
}

// One key of the layout in use, as a platform's layout reader fills it once per layout: what it
// types at each level (0 for nothing), whether it is a dead key there, where it sits.
struct KeyRecord {
    std::uint8_t virtualKey = 0;
    // Set 1, 0x100 and up for the E0-prefixed keys; 0 where the layout gives none.
    std::uint16_t scanCode = 0;
    std::array<char32_t, kKeyLevels> typed{};
    std::array<bool, kKeyLevels> dead{};

    char32_t at(KeyLevel level) const { return typed[static_cast<std::size_t>(level)]; }
    bool deadAt(KeyLevel level) const { return dead[static_cast<std::size_t>(level)]; }
};

// The token of a key pressed with the modifiers of a level held: the character it types with
// AltGr (and Shift, where it types one there), else by itself (a dead key's own), or, for what
// it types by itself, its place ("{SC01E}") where Windows-1252 lacks the character; empty where
// the key-name table's token already types this same key (a letter's capital, a digit), for a
// character Windows-1252 lacks typed with AltGr, and for keys that type nothing.
std::string recordToken(const KeyRecord& key, KeyLevel held);

// Where a character is typed: the key, the level, and whether it is a dead key's own character,
// which the key types only when pressed twice.
struct KeyReach {
    const KeyRecord* key = nullptr;
    KeyLevel level = KeyLevel::Plain;
    bool dead = false;
};

// The key typing a character with the fewest modifiers: by itself, with Shift, as a dead key's
// own character, with AltGr, with Shift and AltGr; none when no key of the layout types it.
std::optional<KeyReach> keyTyping(std::span<const KeyRecord> keys, char32_t character);

}  // namespace kivo
