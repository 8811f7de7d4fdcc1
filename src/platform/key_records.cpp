#include "platform/key_records.h"

#include "platform/key_string.h"

namespace kivo {
namespace {

bool isAsciiLetter(char32_t c)
{
    return (c >= U'a' && c <= U'z') || (c >= U'A' && c <= U'Z');
}

bool isDigit(char32_t c)
{
    return c >= U'0' && c <= U'9';
}

}  // namespace

std::string recordToken(const KeyRecord& key, KeyLevel held)
{
    // Shift alone changes no token: a key is named by what it types by itself, as the table names it.
    KeyLevel level = KeyLevel::Plain;
    if (held == KeyLevel::ShiftAltGr && key.at(KeyLevel::ShiftAltGr) != 0) {
        level = KeyLevel::ShiftAltGr;
    } else if (needsAltGr(held) && key.at(KeyLevel::AltGr) != 0) {
        level = KeyLevel::AltGr;
    }
    const bool withAltGr = needsAltGr(level);
    const char32_t character = key.at(level);
    if (character == 0 && !key.deadAt(level)) {
        return {};
    }
    // The table's capital letter or digit types this same key.
    if (!withAltGr && !key.deadAt(level) &&
        (isAsciiLetter(character) || (isDigit(character) && character == key.virtualKey))) {
        return {};
    }
    if (std::string token = characterToken(character); !token.empty()) {
        return token;
    }
    // A place is typed without modifiers, so it names only what the key types by itself.
    return key.scanCode == 0 || withAltGr ? std::string{} : scanCodeToken(key.scanCode);
}

std::optional<KeyReach> keyTyping(std::span<const KeyRecord> keys, char32_t character)
{
    constexpr struct {
        KeyLevel level;
        bool dead;
    } kOrder[] = {{KeyLevel::Plain, false},      {KeyLevel::Shift, false},    {KeyLevel::Plain, true},
                  {KeyLevel::Shift, true},       {KeyLevel::AltGr, false},    {KeyLevel::AltGr, true},
                  {KeyLevel::ShiftAltGr, false}, {KeyLevel::ShiftAltGr, true}};
    for (const auto& [level, dead] : kOrder) {
        for (const KeyRecord& key : keys) {
            if (key.at(level) == character && key.deadAt(level) == dead) {
                return KeyReach{&key, level, dead};
            }
        }
    }
    return std::nullopt;
}

}  // namespace kivo
