#pragma once

#include "engine/button_labels.h"

#include <cstdint>
#include <filesystem>

namespace kivo {

// Where kivo.ini is read from and written to. They differ only where an older
// profile is carried over (read from its old place until the first save).
struct SettingsLocation {
    std::filesystem::path readFrom;
    std::filesystem::path writeTo;
};

// The location for this user on this platform, from the environment.
SettingsLocation defaultSettingsLocation();

// Sets labels 0 to n - 1 to the stored captions (empty where none is stored).
void loadCaptions(const SettingsLocation& location, ButtonLabels& labels, std::int32_t n);
// Stores the captions of labels 0 to n - 1. Returns false, having said why on standard
// error, when the file could not be written; the old file is then left as it was.
bool saveCaptions(const SettingsLocation& location, const ButtonLabels& labels, std::int32_t n);

}  // namespace kivo
