#pragma once

#include "settings/file_encoding.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace kivo {

// The text of a profile (INI) file, read and changed the way the Windows profile
// functions do it: section and key names match without regard to case and with the
// blanks around them ignored, the first match wins, and a write changes only the
// line of its key. Values keep their bytes exactly, trailing blanks included. Values go in and
// come out as Windows-1252 captions, whatever form the file has; the text keeps that form.
class ProfileText {
public:
    // Lines added to the text end as its form says.
    explicit ProfileText(FileText text = {});

    // The value of key in section, or fallback when there is none. The limit counts a
    // terminating zero, as the Windows call does, so at most limit - 1 bytes come back.
    // Characters a caption cannot hold are left out, and added to lacking when that is given.
    std::string value(std::string_view section, std::string_view key, std::string_view fallback, std::size_t limit,
                      std::u32string* lacking = nullptr) const;

    // Whether the section has a line for key, and whether there is such a section at all.
    bool hasKey(std::string_view section, std::string_view key) const;
    bool hasSection(std::string_view section) const;

    // Replaces the value on the key's line, or adds the key at the end of its section,
    // or the section at the end of the text. Carriage returns and line feeds in value
    // are dropped so that a value always stays on its own line.
    void setValue(std::string_view section, std::string_view key, std::string_view value);

    const FileText& fileText() const { return text_; }
    // The file's bytes, in the form it came in.
    std::string text() const { return encodeFileText(text_); }

private:
    FileText text_;
};

}  // namespace kivo
