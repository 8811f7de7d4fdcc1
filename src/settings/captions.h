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
// Stores the captions of labels 0 to n - 1, and the held-keys choice when one is given. When it
// fails, the old file is left as it was.
Status saveCaptions(const SettingsLocation& location, const ButtonLabels& labels, std::int32_t n,
                    std::optional<bool> holdKeys = std::nullopt);
// Whether kivo.ini chooses keys held down as a keyboard holds them: "HoldKeys=1" in [Settings].
// Off in a file without the key, or one that cannot be read.
bool readHoldKeys(const SettingsLocation& location);

// kivo.ini as one window keeps it. Saving the captions it last saved, into a file nobody has
// changed since, reads and writes nothing: a caption that keeps changing back within each tick,
// as two keys held together make it, would otherwise read the file on every tick.
class CaptionsFile {
public:
    explicit CaptionsFile(SettingsLocation location) : location_(std::move(location)) {}

    Status load(ButtonLabels& labels, std::int32_t n);
    Status save(const ButtonLabels& labels, std::int32_t n);
    // Whether the file chooses held keys, as it is now.
    bool holdKeys() const { return holdKeys_ ? *holdKeys_ : readHoldKeys(location_); }
    // The user's choice of held keys, saved with the captions from now on.
    void chooseHoldKeys(bool on) { holdKeys_ = on; }

private:
    struct Stamp {
        std::filesystem::file_time_type written;
        std::uintmax_t size = 0;
        bool operator==(const Stamp&) const = default;
    };
    struct Saved {
        std::vector<std::string> captions;
        std::optional<bool> holdKeys;
        Stamp stamp;
    };
    std::optional<Stamp> stampOfFile() const;

    SettingsLocation location_;
    std::optional<Saved> saved_;
    std::optional<bool> holdKeys_;
};

}  // namespace kivo
