#include "settings/profile_text.h"

#include "platform/ascii_case.h"
#include "platform/windows1252.h"
#include "settings/text_encoding.h"

#include <algorithm>
#include <iterator>
#include <optional>
#include <utility>

namespace kivo {
namespace {

constexpr std::string_view kBlanks = " \t";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeMark = "\xFF\xFE";
constexpr std::string_view kUtf16BeMark = "\xFE\xFF";

// Where the first line begins: after the byte-order mark, when there is one.
std::size_t textStart(std::string_view text)
{
    return text.starts_with(kByteOrderMark) ? kByteOrderMark.size() : 0;
}

struct Line {
    std::size_t begin;  // first byte of the line
    std::size_t end;    // one past its content, before the line ending
    std::size_t next;   // where the following line begins
};

// Both "\r\n" and "\n" end a line, and so does a "\r" that ends the text: it becomes
// part of a "\r\n" as soon as a line is added after it.
Line lineAt(std::string_view text, std::size_t begin)
{
    const std::size_t newline = std::min(text.find('\n', begin), text.size());
    const bool cr = newline > begin && text[newline - 1] == '\r';
    return {begin, cr ? newline - 1 : newline, std::min(newline + 1, text.size())};
}

std::string_view trimmed(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

// The name of a "[name]" line; a header that lacks its "]" runs to the end of the line.
std::optional<std::string_view> sectionName(std::string_view content)
{
    const std::string_view line = trimmed(content);
    if (line.empty() || line.front() != '[')
        return std::nullopt;
    const std::string_view inside = line.substr(1);
    return trimmed(inside.substr(0, inside.find(']')));
}

// Where the value of a "key=value" line begins, when the line holds that key.
std::optional<std::size_t> valueOffset(std::string_view content, std::string_view key)
{
    const std::size_t equals = content.find('=');
    if (equals == std::string_view::npos || !equalIgnoringAsciiCase(trimmed(content.substr(0, equals)), key)) {
        return std::nullopt;
    }
    return equals + 1;
}

// What a stored value reads as: blanks after "=" are skipped, and a pair of double
// quotes around the rest is taken off, which is how a value keeps leading blanks.
std::string_view readValue(std::string_view stored)
{
    const std::size_t first = stored.find_first_not_of(kBlanks);
    if (first == std::string_view::npos)
        return {};
    stored.remove_prefix(first);
    if (stored.size() >= 2 && stored.front() == '"' && stored.back() == '"') {
        return stored.substr(1, stored.size() - 2);
    }
    return stored;
}

std::string storedValue(std::string_view value)
{
    std::string bytes;
    std::ranges::copy_if(value, std::back_inserter(bytes), [](char c) { return c != '\r' && c != '\n'; });
    if (readValue(bytes) == bytes)
        return bytes;
    return '"' + bytes + '"';
}

std::string_view lineEndingOf(std::string_view text, std::string_view fallback)
{
    const std::size_t newline = text.find('\n');
    if (newline == std::string_view::npos)
        return fallback;
    return newline > 0 && text[newline - 1] == '\r' ? "\r\n" : "\n";
}

struct Span {
    std::size_t begin;
    std::size_t length;
};

struct KeyPlace {
    bool sectionFound = false;
    // Where the key's stored value lies in the text, when the key is there.
    std::optional<Span> value;
    // Just past the last line of the section that is not blank: where a new key goes.
    std::size_t sectionEnd = 0;
};

// Only the first section of that name counts, and in it only the first line of the key.
KeyPlace findKey(std::string_view text, std::string_view section, std::string_view key)
{
    KeyPlace place;
    for (std::size_t at = textStart(text); at < text.size();) {
        const Line line = lineAt(text, at);
        at = line.next;
        const std::string_view content = text.substr(line.begin, line.end - line.begin);
        if (const auto name = sectionName(content)) {
            if (place.sectionFound)
                break;
            if (equalIgnoringAsciiCase(*name, section)) {
                place.sectionFound = true;
                place.sectionEnd = line.next;
            }
        } else if (place.sectionFound) {
            if (const auto offset = valueOffset(content, key)) {
                place.value = Span{line.begin + *offset, line.end - line.begin - *offset};
                break;
            }
            if (!trimmed(content).empty())
                place.sectionEnd = line.next;
        }
    }
    return place;
}

// UTF-16 without a mark, as some tools write it: every character of the first line has a NUL
// byte beside it, on the same side throughout, and no 8-bit text looks like that.
std::optional<ByteOrder> unmarkedUtf16(std::string_view bytes)
{
    const std::size_t newline = bytes.find('\n');
    const std::size_t end = std::min(newline == std::string_view::npos ? bytes.size() : newline + 2, bytes.size());
    const auto nulAt = [&](std::size_t side) {
        for (std::size_t i = 0; i + 1 < end; i += 2) {
            if (bytes[i + side] != '\0' || bytes[i + 1 - side] == '\0')
                return false;
        }
        return end >= 2;
    };
    if (nulAt(1))
        return ByteOrder::Little;
    if (nulAt(0))
        return ByteOrder::Big;
    return std::nullopt;
}

}  // namespace

ProfileText::Form ProfileText::formOf(std::string_view fileBytes)
{
    if (fileBytes.starts_with(kUtf16LeMark))
        return {kUtf16LeMark, ByteOrder::Little};
    if (fileBytes.starts_with(kUtf16BeMark))
        return {kUtf16BeMark, ByteOrder::Big};
    return {{}, unmarkedUtf16(fileBytes)};
}

ProfileText::ProfileText(std::string fileBytes, std::string_view newLineEnding)
    : form_(formOf(fileBytes)), newLineEnding_(newLineEnding)
{
    text_ = form_.utf16 ? utf8FromUtf16(std::string_view(fileBytes).substr(form_.mark.size()), *form_.utf16)
                        : std::move(fileBytes);
}

std::string ProfileText::text() const
{
    return form_.utf16 ? std::string(form_.mark) + utf16FromUtf8(text_, *form_.utf16) : text_;
}

std::string notProfileText(std::string_view fileBytes)
{
    const ProfileText::Form form = ProfileText::formOf(fileBytes);
    std::string_view text = fileBytes;
    std::string converted;
    if (form.utf16) {
        const std::string_view units = fileBytes.substr(form.mark.size());
        if (units.size() % 2 != 0)
            return "it is UTF-16 text with an odd number of bytes";
        converted = utf8FromUtf16(units, *form.utf16);
        text = converted;
    }
    if (text.substr(0, text.find('\n')).find('\0') != std::string_view::npos)
        return "it is not text: its first line holds NUL bytes";
    return {};
}

std::string ProfileText::value(std::string_view section, std::string_view key, std::string_view fallback,
                               std::size_t limit) const
{
    const KeyPlace place = findKey(text_, section, key);
    std::string found(place.value ? readValue(std::string_view(text_).substr(place.value->begin, place.value->length))
                                  : fallback);
    if (place.value && form_.utf16)
        found = windows1252FromUtf8(found);
    return found.substr(0, limit == 0 ? 0 : limit - 1);
}

bool ProfileText::hasKey(std::string_view section, std::string_view key) const
{
    return findKey(text_, section, key).value.has_value();
}

bool ProfileText::hasSection(std::string_view section) const
{
    return findKey(text_, section, {}).sectionFound;
}

void ProfileText::setValue(std::string_view section, std::string_view key, std::string_view value)
{
    const KeyPlace place = findKey(text_, section, key);
    const std::string stored = storedValue(form_.utf16 ? utf8FromWindows1252(value) : std::string(value));
    if (place.value) {
        text_.replace(place.value->begin, place.value->length, stored);
        return;
    }
    const std::string lineEnding(lineEndingOf(text_, newLineEnding_));
    std::string lines = std::string(key) + '=' + stored + lineEnding;
    std::size_t at = place.sectionEnd;
    if (!place.sectionFound) {
        lines.insert(0, '[' + std::string(section) + ']' + lineEnding);
        at = text_.size();
    }
    const std::size_t start = textStart(text_);
    if (at > start && text_[at - 1] == '\r') {
        lines.insert(0, "\n");
    } else if (at > start && text_[at - 1] != '\n') {
        lines.insert(0, lineEnding);
    }
    text_.insert(at, lines);
}

}  // namespace kivo
