#include "settings/text_encoding.h"

#include <algorithm>
#include <array>
#include <cstdint>
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

void appendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// The character at text[at], moving at past it. The text came from the functions above, so
// each sequence is whole; a stray byte stands for itself.
char32_t nextCharacter(std::string_view text, std::size_t& at)
{
    const auto lead = static_cast<unsigned char>(text[at++]);
    const int length = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : 0;
    char32_t c = length == 0 ? lead : lead & (0x3F >> length);
    for (int i = 0; i < length && at < text.size(); ++i)
        c = (c << 6) | (static_cast<unsigned char>(text[at++]) & 0x3F);
    return c;
}

void appendUtf16(std::string& out, char32_t unit, ByteOrder order)
{
    const auto low = static_cast<char>(unit & 0xFF);
    const auto high = static_cast<char>(unit >> 8);
    out += order == ByteOrder::Little ? low : high;
    out += order == ByteOrder::Little ? high : low;
}

bool isHighSurrogate(char32_t unit)
{
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool isLowSurrogate(char32_t unit)
{
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

}  // namespace

std::string utf8FromUtf16(std::string_view bytes, ByteOrder order)
{
    std::string out;
    const std::size_t lowAt = order == ByteOrder::Little ? 0 : 1;
    const auto unitAt = [&](std::size_t i) {
        return static_cast<char32_t>(static_cast<unsigned char>(bytes[i + lowAt]) |
                                     (static_cast<unsigned char>(bytes[i + 1 - lowAt]) << 8));
    };
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const char32_t unit = unitAt(i);
        if (isHighSurrogate(unit) && i + 3 < bytes.size() && isLowSurrogate(unitAt(i + 2))) {
            appendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (unitAt(i + 2) - 0xDC00));
            i += 2;
        } else {
            appendUtf8(out, unit);
        }
    }
    return out;
}

std::string utf16FromUtf8(std::string_view text, ByteOrder order)
{
    std::string out;
    for (std::size_t at = 0; at < text.size();) {
        const char32_t c = nextCharacter(text, at);
        if (c >= 0x10000) {
            appendUtf16(out, 0xD800 + ((c - 0x10000) >> 10), order);
            appendUtf16(out, 0xDC00 + ((c - 0x10000) & 0x3FF), order);
        } else {
            appendUtf16(out, c, order);
        }
    }
    return out;
}

std::string utf8FromWindows1252(std::string_view bytes)
{
    std::string out;
    for (const char byte : bytes) {
        const char32_t c = static_cast<unsigned char>(byte);
        const bool high = c >= kHighControlsStart && c < kHighControlsStart + kHighControls.size();
        appendUtf8(out, high ? kHighControls[c - kHighControlsStart] : c);
    }
    return out;
}

std::string windows1252FromUtf8(std::string_view text)
{
    std::string out;
    for (std::size_t at = 0; at < text.size();) {
        const char32_t c = nextCharacter(text, at);
        const auto high = std::find(kHighControls.begin(), kHighControls.end(), c);
        if (high != kHighControls.end())
            out += static_cast<char>(kHighControlsStart + std::distance(kHighControls.begin(), high));
        else if (c <= 0xFF && (c < kHighControlsStart || c >= kHighControlsStart + kHighControls.size()))
            out += static_cast<char>(c);
        else
            out += '?';
    }
    return out;
}

}  // namespace kivo
