#pragma once

#include "settings/text_encoding.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace kivo {

// The text of a profile (INI) file, read and changed the way the Windows profile
// functions do it: section and key names match without regard to case and with the
// blanks around them ignored, the first match wins, and a write changes only the
// line of its key. Values keep their bytes exactly, trailing blanks included. A UTF-8
// byte-order mark at the start, as Windows editors write it, is skipped and kept. A file
// that starts with a UTF-16 byte-order mark (either order), or whose first line plainly is
// UTF-16, is UTF-16 throughout and stays so, mark or none; values go in and come out as
// Windows-1252 all the same.
class ProfileText {
public:
    // How the file holds its text: the byte-order mark it starts with, and UTF-16 or bytes.
    struct Form {
        std::string_view mark;
        std::optional<ByteOrder> utf16;
    };
    static Form formOf(std::string_view fileBytes);

    // A text without a line ending yet gets newLineEnding for the lines added to it.
    explicit ProfileText(std::string fileBytes = {}, std::string_view newLineEnding = "\n");

    // The value of key in section, or fallback when there is none. The limit counts a
    // terminating zero, as the Windows call does, so at most limit - 1 bytes come back.
    std::string value(std::string_view section, std::string_view key, std::string_view fallback,
                      std::size_t limit) const;

    // Whether the section has a line for key, and whether there is such a section at all.
    bool hasKey(std::string_view section, std::string_view key) const;
    bool hasSection(std::string_view section) const;

    // Replaces the value on the key's line, or adds the key at the end of its section,
    // or the section at the end of the text. Carriage returns and line feeds in value
    // are dropped so that a value always stays on its own line.
    void setValue(std::string_view section, std::string_view key, std::string_view value);

    // The file's bytes, in the file's encoding.
    std::string text() const;

private:
    Form form_;
    std::string text_;
    std::string newLineEnding_;
};

// Why fileBytes cannot be read as a profile's text without losing some of them (UTF-16 cut
// within a character; NUL bytes in the first line, as in UTF-32 or a binary file); empty
// when they can.
std::string notProfileText(std::string_view fileBytes);

}  // namespace kivo
