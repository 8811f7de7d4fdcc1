#include "settings/text_encoding.h"

#include "platform/utf8.h"

namespace kivo {
namespace {

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
        const char32_t c = nextUtf8Character(text, at);
        if (c >= 0x10000) {
            appendUtf16(out, 0xD800 + ((c - 0x10000) >> 10), order);
            appendUtf16(out, 0xDC00 + ((c - 0x10000) & 0x3FF), order);
        } else {
            appendUtf16(out, c, order);
        }
    }
    return out;
}

}  // namespace kivo
