#pragma once

#include "engine/button_labels.h"
#include "settings/location.h"
#include "settings/result.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace kivo {

// Sets labels 0 to n - 1 to the stored captions (empty where none is stored). Fails when
// the file cannot be used; the labels then start empty and the file is left alone.
Status loadCaptions(const SettingsLocation& location, ButtonLabels& labels, std::int32_t n);
// Stores the captions of labels 0 to n - 1. When it fails, the old file is left as it was.
Status saveCaptions(const SettingsLocation& location, const ButtonLabels& labels, std::int32_t n);

// kivo.ini as one window keeps it. Saving the captions it last saved, into a file nobody has
// changed since, reads and writes nothing: a caption that keeps changing back within each tick,
// as two keys held together make it, would otherwise read the file on every tick.
class CaptionsFile {
public:
    explicit CaptionsFile(SettingsLocation location) : location_(std::move(location)) {}

    Status load(ButtonLabels& labels, std::int32_t n);
    Status save(const ButtonLabels& labels, std::int32_t n);

private:
    struct Stamp {
        std::filesystem::file_time_type written;
        std::uintmax_t size = 0;
        bool operator==(const Stamp&) const = default;
    };
    struct Saved {
        std::vector<std::string> captions;
        Stamp stamp;
    };
    std::optional<Stamp> stampOfFile() const;

    SettingsLocation location_;
    std::optional<Saved> saved_;
};

}  // namespace kivo
