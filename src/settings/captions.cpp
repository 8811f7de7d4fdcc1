#include "settings/captions.h"

#include "settings/file_replace.h"
#include "settings/messages.h"
#include "settings/profile_file.h"
#include "settings/profile_text.h"

#include <optional>
#include <string>
#include <system_error>

namespace kivo {
namespace {

namespace fs = std::filesystem;
using State = ProfileFileContents::State;

// Written as "Settings", read as "settings": the same section, names match without regard to case.
constexpr std::string_view kWrittenSection = "Settings";
constexpr std::string_view kReadSection = "settings";
// Counts the terminating zero, as the Windows profile call did: captions come back with at most 254 bytes.
constexpr std::size_t kReadLimit = 255;

std::string keyOf(std::int32_t index)
{
    return std::to_string(index);
}

bool saveFailed(const fs::path& file, std::string_view problem)
{
    reportProblem("could not save the button captions to " + shown(file) + ": " + std::string(problem) +
                  ". The file is left as it was.");
    return false;
}

// The text to save: the file as it is with the captions stored in it. Until the first
// save the file may still be read from an earlier place; its other lines carry over.
ProfileText withCaptions(const SettingsLocation& location, const ProfileFileContents& current,
                         const ButtonLabels& labels, std::int32_t n)
{
    const ProfileFileContents base = current.state == State::Missing && location.readFrom != location.writeTo
                                         ? readProfileFile(location.readFrom)
                                         : current;
    ProfileText profile(base.state == State::Read ? base.text : std::string());
    for (std::int32_t index = 0; index < n; ++index) {
        if (labels.exists(index))
            profile.setValue(kWrittenSection, keyOf(index), labels.caption(index));
    }
    return profile;
}

}  // namespace

void loadCaptions(const SettingsLocation& location, ButtonLabels& labels, std::int32_t n)
{
    if (n <= 0)
        return;
    const ProfileFileContents file = readProfileFile(location.readFrom);
    if (file.state == State::Unusable) {
        reportProblem("cannot use the settings file " + shown(location.readFrom) + ": " + file.problem +
                      ". It is left alone and the button captions start empty.");
    }
    const ProfileText profile(file.text);
    for (std::int32_t index = 0; index < n; ++index) {
        if (labels.exists(index))
            labels.setCaption(index, profile.value(kReadSection, keyOf(index), "", kReadLimit));
    }
}

bool saveCaptions(const SettingsLocation& location, const ButtonLabels& labels, std::int32_t n)
{
    if (n <= 0)
        return true;
    const fs::path& file = location.writeTo;
    std::error_code error;
    if (file.has_parent_path() && !fs::create_directories(file.parent_path(), error) && error) {
        return saveFailed(file, "cannot create the folder " + shown(file.parent_path()) + ": " + error.message());
    }

    const ProfileFileContents current = readProfileFile(file);
    const ProfileText profile = withCaptions(location, current, labels, n);
    if (current.state == State::Read && profile.text() == current.text)
        return true;

    std::optional<fs::path> backup;
    if (current.state == State::Unusable) {
        std::string problem;
        backup = keepAsBackup(file, problem);
        if (!backup)
            return saveFailed(file, "the old file (" + current.problem + ") cannot be kept: " + problem);
    }
    if (const std::optional<std::string> problem = replaceFile(file, profile.text())) {
        // The old file goes back to its name, so a failed save changes nothing.
        if (backup)
            fs::rename(*backup, file, error);
        return saveFailed(file, *problem);
    }
    if (backup) {
        reportProblem("kept the old settings file, which could not be used (" + current.problem + "), as " +
                      shown(*backup) + ".");
    }
    return true;
}

}  // namespace kivo
