#pragma once

#include "settings/result.h"

#include <string>
#include <string_view>

namespace kivo {

// How kivo.ini holds its text, found when it is read and kept to save it back the same way.
// Kivo writes Windows-1252 bytes; editors leave UTF-8 or UTF-16 too, with or without a
// byte-order mark, and old Mac ones end lines with a lone CR. UTF-8 without a mark is told
// from Windows-1252 by being valid UTF-8 throughout with at least one character beyond ASCII:
// Windows-1252 text beyond ASCII almost never is. The file's first line ending is the one of every
// line Kivo adds; a file without one takes the platform's.
struct FileForm {
    enum class Encoding { Windows1252, Utf8, Utf16Le, Utf16Be };
    enum class LineEnding { Lf, CrLf, Cr };
    Encoding encoding = Encoding::Windows1252;
    bool marked = false;
    LineEnding lineEnding = LineEnding::Lf;

    bool operator==(const FileForm&) const = default;
};

// A file's text as the INI rules read it: lines end in "\n" or "\r\n" (a lone CR is read as "\n"
// and written back as it came), and characters are
// UTF-8, or the file's own bytes when it is Windows-1252. A UTF-16 lone surrogate is kept as the
// three bytes UTF-8 would give it, so that lines Kivo does not rewrite go back as they came.
struct FileText {
    FileForm form;
    std::string text;

    bool operator==(const FileText&) const = default;
};

// Fails, saying why, for bytes that cannot be read as text without losing some of them: UTF-16
// cut within a character, or NUL bytes in the first line, as in UTF-32 or a binary file.
// newLineEnding is the line ending of a text that has none yet.
Result<FileText> decodeFileText(std::string_view bytes, FileForm::LineEnding newLineEnding = FileForm::LineEnding::Lf);
std::string encodeFileText(const FileText& text);
// The line ending of lines added to the text, as the text holds it.
std::string_view lineEndingInText(const FileForm& form);

// A stored value as a caption's Windows-1252 bytes, and a caption as a value in the file's form.
// A character the code page lacks is left out of the caption, so that no key types something
// else in its place, and is added to lacking when that is given.
std::string captionFromValue(std::string_view value, const FileForm& form, std::u32string* lacking = nullptr);
std::string valueFromCaption(std::string_view caption, const FileForm& form);

}  // namespace kivo
