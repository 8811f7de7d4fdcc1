#include "settings/file_encoding.h"

#include "platform/utf8.h"
#include "platform/windows1252.h"

#include <algorithm>
#include <optional>

namespace kivo {
namespace {

using Encoding = FileForm::Encoding;

constexpr char32_t kReplacementCharacter = 0xFFFD;
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

// UTF-16 without a mark, as some tools write it. Every kivo.ini has ASCII structure ("[", "=",
// line ends), and in UTF-16 each of those is a unit with a NUL byte on its high side, however much
// of the rest lies beyond ASCII (a long Cyrillic comment has no NUL bytes at all). Text in
// Windows-1252 or UTF-8 holds no NUL byte, so it is never taken for UTF-16; UTF-32 is not either,
// having units of two NULs.
std::optional<Encoding> unmarkedUtf16(std::string_view bytes)
{
    if (bytes.empty() || bytes.size() % 2 != 0)
        return std::nullopt;
    // A CJK character such as U+5B00 reads as "[" in the other byte order, but far less often.
    std::size_t little = 0;
    std::size_t big = 0;
    for (std::size_t i = 0; i < bytes.size(); i += 2) {
        if (bytes[i] == '\0' && bytes[i + 1] == '\0')
            return std::nullopt;
        const auto structure = [](char c) { return c == '[' || c == '=' || c == '\n'; };
        little += bytes[i + 1] == '\0' && structure(bytes[i]) ? 1 : 0;
        big += bytes[i] == '\0' && structure(bytes[i + 1]) ? 1 : 0;
    }
    if (little == 0 && big == 0)
        return std::nullopt;
    return little >= big ? Encoding::Utf16Le : Encoding::Utf16Be;
}

// Valid UTF-8 that holds at least one character beyond ASCII.
bool unicodeInUtf8(std::string_view bytes)
{
    bool beyondAscii = false;
    for (std::size_t at = 0; at < bytes.size();) {
        const std::optional<char32_t> c = nextUtf8Character(bytes, at);
        if (!c)
            return false;
        beyondAscii = beyondAscii || *c >= 0x80;
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
        // Text given here comes from UTF-16 or from captions, and is whole.
        const char32_t c = nextUtf8Character(text, at).value_or(kReplacementCharacter);
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

Result<FileText> decodeFileText(std::string_view bytes, FileForm::LineEnding newLineEnding)
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
    using LineEnding = FileForm::LineEnding;
    const std::size_t newline = text.find('\n');
    if (newline != std::string::npos) {
        decoded.form.lineEnding = newline > 0 && text[newline - 1] == '\r' ? LineEnding::CrLf : LineEnding::Lf;
    } else if (text.find('\r') != std::string::npos) {
        // No "\n" anywhere, so each CR stands for one and goes back as it came.
        decoded.form.lineEnding = LineEnding::Cr;
        std::ranges::replace(text, '\r', '\n');
    } else {
        decoded.form.lineEnding = newLineEnding;
    }
    return decoded;
}

std::string encodeFileText(const FileText& decoded)
{
    std::string text = decoded.text;
    if (decoded.form.lineEnding == FileForm::LineEnding::Cr)
        std::ranges::replace(text, '\n', '\r');
    const std::string mark(markOf(decoded.form));
    if (isUtf16(decoded.form.encoding))
        return mark + utf16FromUtf8(text, decoded.form.encoding);
    return mark + text;
}

std::string_view lineEndingInText(const FileForm& form)
{
    return form.lineEnding == FileForm::LineEnding::CrLf ? "\r\n" : "\n";
}

std::string captionFromValue(std::string_view value, const FileForm& form, std::u32string* lacking)
{
    if (form.encoding == Encoding::Windows1252)
        return std::string(value);
    std::string caption;
    for (std::size_t at = 0; at < value.size();) {
        // A byte no UTF-8 sequence starts with (one another editor left in Windows-1252) types
        // nothing, and is named as the replacement character.
        const char32_t c = nextUtf8Character(value, at).value_or(kReplacementCharacter);
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
