#pragma once

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

}  // namespace kivo
