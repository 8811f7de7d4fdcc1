#pragma once

#include "engine/button_labels.h"
#include "settings/location.h"
#include "settings/profile_file.h"
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

// kivo.ini as one window keeps it, shared with the user who edits it while Kivo runs. Kivo
// remembers the captions it last read from or wrote to the file; whatever the file holds beyond
// them is someone else's change, which Kivo takes up into the labels and never saves over.
class CaptionsFile {
public:
    explicit CaptionsFile(SettingsLocation location) : location_(std::move(location)) {}

    Status load(ButtonLabels& labels, std::int32_t n);
    // Takes up the captions someone else changed in the file since Kivo last read or wrote it.
    // A label Kivo changed meanwhile and has not saved yet (an assignment, Clear) keeps Kivo's
    // caption, and the user is told that the file's is replaced at the next save. True when a
    // label changed.
    bool takeUpChanges(ButtonLabels& labels, std::int32_t n);
    // Takes up the file's changes, then stores the labels' captions. Saving the captions it last
    // saved, into a file nobody has changed since, reads and writes nothing: a caption that keeps
    // changing back within each tick, as two keys held together make it, would otherwise read
    // the file on every tick.
    Status save(ButtonLabels& labels, std::int32_t n);

    // The file, and the file at the end of its links, whose changes are taken up.
    std::vector<std::filesystem::path> watchedFiles() const;
    // Whether the file chooses held keys, as it is now, unless the user chose in Kivo's window.
    bool holdKeys() const { return holdKeys_ ? *holdKeys_ : readHoldKeys(location_); }
    // The user's choice of held keys, saved with the captions from now on.
    void chooseHoldKeys(bool on) { holdKeys_ = on; }

private:
    struct Stamp {
        std::filesystem::file_time_type written;
        std::uintmax_t size = 0;
        bool operator==(const Stamp&) const = default;
    };
    // What the file held when Kivo last read or wrote it.
    struct Seen {
        std::vector<std::string> captions;
        std::optional<Stamp> stamp;
        std::optional<bool> holdKeys;
    };
    const std::filesystem::path& fileInUse() const;
    std::optional<Stamp> stampOfFile() const;
    bool takeUp(const Result<ProfileFileText>& file, ButtonLabels& labels, std::int32_t n);

    SettingsLocation location_;
    Seen seen_;
    // Until the first save the file may still be read from an earlier place.
    bool savedOnce_ = false;
    std::optional<bool> holdKeys_;
};

}  // namespace kivo
