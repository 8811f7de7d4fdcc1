#include "settings/profile_text.h"

#include "platform/ascii_case.h"

#include <algorithm>
#include <iterator>
#include <optional>
#include <utility>

namespace kivo {
namespace {

constexpr std::string_view kBlanks = " \t";
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
    for (std::size_t at = 0; at < text.size();) {
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

}  // namespace

ProfileText::ProfileText(FileText text) : text_(std::move(text)) {}

std::string ProfileText::value(std::string_view section, std::string_view key, std::string_view fallback,
                               std::size_t limit, std::u32string* lacking) const
{
    const std::string_view text = text_.text;
    const KeyPlace place = findKey(text, section, key);
    const std::string found =
        place.value
            ? captionFromValue(readValue(text.substr(place.value->begin, place.value->length)), text_.form, lacking)
            : std::string(fallback);
    return found.substr(0, limit == 0 ? 0 : limit - 1);
}

bool ProfileText::hasKey(std::string_view section, std::string_view key) const
{
    return findKey(text_.text, section, key).value.has_value();
}

bool ProfileText::hasSection(std::string_view section) const
{
    return findKey(text_.text, section, {}).sectionFound;
}

void ProfileText::setValue(std::string_view section, std::string_view key, std::string_view value)
{
    std::string& text = text_.text;
    const KeyPlace place = findKey(text, section, key);
    const std::string stored = storedValue(valueFromCaption(value, text_.form));
    if (place.value) {
        text.replace(place.value->begin, place.value->length, stored);
        return;
    }
    const std::string lineEnding(lineEndingInText(text_.form));
    std::string lines = std::string(key) + '=' + stored + lineEnding;
    std::size_t at = place.sectionEnd;
    if (!place.sectionFound) {
        lines.insert(0, '[' + std::string(section) + ']' + lineEnding);
        at = text.size();
    }
    if (at > 0 && text[at - 1] == '\r') {
        lines.insert(0, "\n");
    } else if (at > 0 && text[at - 1] != '\n') {
        lines.insert(0, lineEnding);
    }
    text.insert(at, lines);
}

}  // namespace kivo
