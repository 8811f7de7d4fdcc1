#pragma once

#include "engine/button_labels.h"
#include "settings/location.h"
#include "settings/result.h"

#include <cstdint>

namespace kivo {

// Sets labels 0 to n - 1 to the stored captions (empty where none is stored). Fails when
// the file cannot be used; the labels then start empty and the file is left alone.
Status loadCaptions(const SettingsLocation& location, ButtonLabels& labels, std::int32_t n);
// Stores the captions of labels 0 to n - 1. When it fails, the old file is left as it was.
Status saveCaptions(const SettingsLocation& location, const ButtonLabels& labels, std::int32_t n);

}  // namespace kivo
