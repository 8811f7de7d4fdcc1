#include "platform/windows1252.h"

#include "platform/utf8.h"

#include <algorithm>
#include <array>
#include <iterator>

namespace kivo {
namespace {

// What Windows-1252 puts at 0x80 to 0x9F; the rest of the code page is Latin-1.
constexpr std::array<char32_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};
constexpr char32_t kHighControlsStart = 0x80;

bool inHighControls(char32_t c)
{
    return c >= kHighControlsStart && c < kHighControlsStart + kHighControls.size();
}

}  // namespace

char32_t unicodeFromWindows1252(char byte)
{
    const char32_t c = static_cast<unsigned char>(byte);
    return inHighControls(c) ? kHighControls[c - kHighControlsStart] : c;
}

std::optional<char> windows1252FromUnicode(char32_t c)
{
    const auto high = std::find(kHighControls.begin(), kHighControls.end(), c);
    if (high != kHighControls.end())
        return static_cast<char>(kHighControlsStart + std::distance(kHighControls.begin(), high));
    if (c <= 0xFF && !inHighControls(c))
        return static_cast<char>(c);
    return std::nullopt;
}

bool windows1252Defines(char byte)
{
    return !inHighControls(unicodeFromWindows1252(byte));
}

std::string utf8FromWindows1252(std::string_view bytes)
{
    std::string out;
    for (const char byte : bytes)
        appendUtf8(out, unicodeFromWindows1252(byte));
    return out;
}

std::string readableFromWindows1252(std::string_view bytes)
{
    std::string out;
    for (const char byte : bytes) {
        if (windows1252Defines(byte)) {
            appendUtf8(out, unicodeFromWindows1252(byte));
            continue;
        }
        constexpr std::string_view kDigits = "0123456789ABCDEF";
        const auto value = static_cast<unsigned char>(byte);
        out += std::string("\\x") + kDigits[value >> 4] + kDigits[value & 0xF];
    }
    return out;
}

}  // namespace kivo
