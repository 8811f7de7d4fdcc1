#include "settings/profile_text.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

// Takes the input as a kivo.ini whose last line is a caption to store. Besides not
// crashing, the reader and writer must agree: the caption reads back as written, less
// its line breaks, and storing it changes no other key. A file that cannot be read as
// text is never taken for a profile, and is skipped.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::size_t lastLine = input.rfind('\n');
    const std::string text = lastLine == std::string::npos ? input : input.substr(0, lastLine);
    const std::string caption = lastLine == std::string::npos ? std::string() : input.substr(lastLine + 1);

    const kivo::Result<kivo::FileText> decoded = kivo::decodeFileText(text);
    if (!decoded)
        return 0;
    kivo::ProfileText profile(decoded.value());
    const std::string other = profile.value("settings", "0", "none", 255);
    profile.setValue("Settings", "1", caption);

    std::string expected = caption;
    std::erase(expected, '\r');
    if (profile.value("settings", "1", "none", expected.size() + 1) != expected)
        std::abort();
    if (profile.value("settings", "0", "none", 255) != other)
        std::abort();
    // Bytes can read as another form once a caption is in them (Windows-1252 that happens to be
    // UTF-8 throughout); read as the form they were written in, they give the caption back.
    const kivo::Result<kivo::FileText> saved = kivo::decodeFileText(profile.text());
    if (saved && saved.value().form == profile.fileText().form &&
        kivo::ProfileText(saved.value()).value("SETTINGS", "1", "none", 255) != expected.substr(0, 254)) {
        std::abort();
    }
    return 0;
}
