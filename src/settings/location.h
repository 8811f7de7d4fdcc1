#pragma once

#include "settings/file_encoding.h"

#include <filesystem>

namespace kivo {

// Where kivo.ini is read from and written to. They differ only where an older
// profile is carried over (read from its old place until the first save).
struct SettingsLocation {
    std::filesystem::path readFrom;
    std::filesystem::path writeTo;
};

// The location for this user on this platform, from the environment; both paths are empty
// when there is no absolute folder for it.
SettingsLocation defaultSettingsLocation();
// Why that location can be empty, in this platform's terms.
const char* whyNoSettingsFolder();

// The line ending of a settings file Kivo creates: what the platform's own tools write.
extern const FileForm::LineEnding kNewFileLineEnding;

}  // namespace kivo
