#pragma once

#include "engine/button_labels.h"
#include "settings/location.h"
#include "settings/profile_file.h"
#include "settings/result.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kivo {

// The captions of buttons 0 to n - 1 as the text holds them, empty where it holds none.
std::vector<std::string> captionsIn(const ProfileFileText& text, std::int32_t n, std::u32string* lacking = nullptr);

// Saves the captions, and the held-keys choice when one is given, into current, the file as it
// was just read (or why it could not be).
Status saveCaptionsOver(const SettingsLocation& location, const Result<ProfileFileText>& current,
                        const ButtonLabels& labels, std::int32_t n, std::optional<bool> holdKeys);

}  // namespace kivo
