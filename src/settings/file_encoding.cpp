#include "settings/file_encoding.h"

#include "platform/utf8.h"
#include "platform/windows1252.h"

#include <algorithm>
#include <optional>

namespace kivo {
namespace {

using Encoding = FileForm::Encoding;

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeMark = "\xFF\xFE";
constexpr std::string_view kUtf16BeMark = "\xFE\xFF";

bool isUtf16(Encoding encoding)
{
    return encoding == Encoding::Utf16Le || encoding == Encoding::Utf16Be;
}

std::string_view markOf(const FileForm& form)
{
    if (!form.marked)
        return {};
    switch (form.encoding) {
        case Encoding::Utf8:
            return kUtf8Mark;
        case Encoding::Utf16Le:
            return kUtf16LeMark;
        case Encoding::Utf16Be:
            return kUtf16BeMark;
        case Encoding::Windows1252:
            break;
    }
    return {};
}

// UTF-16 without a mark, as some tools write it. Every kivo.ini is mostly ASCII ("[Settings]",
// the keys, "="), whose characters each put a NUL byte on the high side of their unit, whatever
// its first line holds; 8-bit text has no such share of NUL bytes, nor all on one side of a pair.
std::optional<Encoding> unmarkedUtf16(std::string_view bytes)
{
    if (bytes.empty() || bytes.size() % 2 != 0)
        return std::nullopt;
    std::size_t lowNuls = 0;
    std::size_t highNuls = 0;
    for (std::size_t i = 0; i < bytes.size(); i += 2) {
        const bool firstNul = bytes[i] == '\0';
        const bool secondNul = bytes[i + 1] == '\0';
        if (firstNul && secondNul)
            return std::nullopt;
        lowNuls += firstNul ? 1 : 0;
        highNuls += secondNul ? 1 : 0;
    }
    constexpr std::size_t kUnitsPerNul = 4;
    const std::size_t units = bytes.size() / 2;
    if (lowNuls == 0 && highNuls * kUnitsPerNul >= units)
        return Encoding::Utf16Le;
    if (highNuls == 0 && lowNuls * kUnitsPerNul >= units)
        return Encoding::Utf16Be;
    return std::nullopt;
}

// Valid UTF-8 that holds at least one character beyond ASCII.
bool unicodeInUtf8(std::string_view bytes)
{
    bool beyondAscii = false;
    for (std::size_t at = 0; at < bytes.size();) {
        const auto lead = static_cast<unsigned char>(bytes[at]);
        const std::size_t length = lead < 0x80                    ? 1
                                   : lead >= 0xC2 && lead <= 0xDF ? 2
                                   : lead >= 0xE0 && lead <= 0xEF ? 3
                                   : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                                  : 0;
        if (length == 0 || length > bytes.size() - at)
            return false;
        for (std::size_t i = 1; i < length; ++i) {
            if ((static_cast<unsigned char>(bytes[at + i]) & 0xC0) != 0x80)
                return false;
        }
        beyondAscii = beyondAscii || length > 1;
        at += length;
    }
    return beyondAscii;
}

FileForm formOf(std::string_view bytes)
{
    if (bytes.starts_with(kUtf16LeMark))
        return {Encoding::Utf16Le, true};
    if (bytes.starts_with(kUtf16BeMark))
        return {Encoding::Utf16Be, true};
    if (bytes.starts_with(kUtf8Mark))
        return {Encoding::Utf8, true};
    if (const auto utf16 = unmarkedUtf16(bytes))
        return {*utf16, false};
    return {unicodeInUtf8(bytes) ? Encoding::Utf8 : Encoding::Windows1252, false};
}

void appendUtf16(std::string& out, char32_t unit, Encoding order)
{
    const auto low = static_cast<char>(unit & 0xFF);
    const auto high = static_cast<char>(unit >> 8);
    out += order == Encoding::Utf16Le ? low : high;
    out += order == Encoding::Utf16Le ? high : low;
}

bool isHighSurrogate(char32_t unit)
{
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool isLowSurrogate(char32_t unit)
{
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

std::string utf8FromUtf16(std::string_view bytes, Encoding order)
{
    std::string out;
    const std::size_t lowAt = order == Encoding::Utf16Le ? 0 : 1;
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

std::string utf16FromUtf8(std::string_view text, Encoding order)
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

}  // namespace

Result<FileText> decodeFileText(std::string_view bytes)
{
    FileText decoded{formOf(bytes), {}};
    const std::string_view body = bytes.substr(markOf(decoded.form).size());
    if (isUtf16(decoded.form.encoding)) {
        if (body.size() % 2 != 0)
            return Problem{"it is UTF-16 text with an odd number of bytes"};
        decoded.text = utf8FromUtf16(body, decoded.form.encoding);
    } else {
        decoded.text = body;
    }
    std::string& text = decoded.text;
    if (text.substr(0, text.find('\n')).find('\0') != std::string::npos)
        return Problem{"it is not text: its first line holds NUL bytes"};
    // No "\n" anywhere, so each CR stands for one and goes back as it came.
    decoded.form.crLineEnds = text.find('\r') != std::string::npos && text.find('\n') == std::string::npos;
    if (decoded.form.crLineEnds)
        std::ranges::replace(text, '\r', '\n');
    return decoded;
}

std::string encodeFileText(const FileText& decoded)
{
    std::string text = decoded.text;
    if (decoded.form.crLineEnds)
        std::ranges::replace(text, '\n', '\r');
    const std::string mark(markOf(decoded.form));
    if (isUtf16(decoded.form.encoding))
        return mark + utf16FromUtf8(text, decoded.form.encoding);
    return mark + text;
}

std::string captionFromValue(std::string_view value, const FileForm& form, std::u32string* lacking)
{
    if (form.encoding == Encoding::Windows1252)
        return std::string(value);
    std::string caption;
    for (std::size_t at = 0; at < value.size();) {
        const char32_t c = nextUtf8Character(value, at);
        if (const std::optional<char> byte = windows1252FromUnicode(c))
            caption += *byte;
        else if (lacking)
            lacking->push_back(c);
    }
    return caption;
}

std::string valueFromCaption(std::string_view caption, const FileForm& form)
{
    return form.encoding == Encoding::Windows1252 ? std::string(caption) : utf8FromWindows1252(caption);
}

}  // namespace kivo
