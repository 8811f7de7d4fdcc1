#include "platform/utf8.h"

namespace kivo {

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

std::optional<char32_t> nextUtf8Character(std::string_view text, std::size_t& at)
{
    const auto byteAt = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byteAt(at);
    // The length of the sequence and the range of its second byte, which rules out overlong
    // forms and code points beyond U+10FFFF.
    struct Form {
        std::size_t length;
        unsigned char low = 0x80;
        unsigned char high = 0xBF;
    };
    const Form form = lead < 0x80    ? Form{1}
                      : lead < 0xC2  ? Form{0}
                      : lead < 0xE0  ? Form{2}
                      : lead == 0xE0 ? Form{3, 0xA0}
                      : lead < 0xF0  ? Form{3}
                      : lead == 0xF0 ? Form{4, 0x90}
                      : lead < 0xF4  ? Form{4}
                      : lead == 0xF4 ? Form{4, 0x80, 0x8F}
                                     : Form{0};
    const bool whole = form.length > 0 && form.length <= text.size() - at;
    for (std::size_t i = 1; whole && i < form.length; ++i) {
        const unsigned char next = byteAt(at + i);
        const bool fits = i == 1 ? next >= form.low && next <= form.high : (next & 0xC0) == 0x80;
        if (!fits) {
            ++at;
            return std::nullopt;
        }
    }
    if (!whole) {
        ++at;
        return std::nullopt;
    }
    char32_t c = form.length == 1 ? lead : lead & (0x7F >> form.length);
    for (std::size_t i = 1; i < form.length; ++i)
        c = (c << 6) | (byteAt(at + i) & 0x3F);
    at += form.length;
    return c;
}

}  // namespace kivo
