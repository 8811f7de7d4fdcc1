#include "settings/captions.h"
#include "settings/captions_in_file.h"

#include "platform/ascii_case.h"
#include "platform/messages.h"
#include "settings/file_replace.h"
#include "settings/profile_file.h"
#include "settings/profile_text.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>
#include <system_error>

namespace kivo {
namespace {

namespace fs = std::filesystem;

// Written as "Settings", read as "settings": the same section, names match without regard to case.
constexpr std::string_view kWrittenSection = "Settings";
constexpr std::string_view kReadSection = "settings";
// Counts the terminating zero, as the Windows profile call did: captions come back with at most 254 bytes.
constexpr std::size_t kReadLimit = 255;
constexpr std::string_view kHoldKeysKey = "HoldKeys";

Problem saveFailed(const fs::path& file, std::string_view problem,
                   std::string_view outcome = "The file is left as it was.")
{
    return {"could not save the button captions to " + quotedPath(file) + ": " + std::string(problem) + ". " +
            std::string(outcome)};
}

// The text to save: the file as it is with the captions stored in it. Until the first
// save the file may still be read from an earlier place; its other lines carry over.
ProfileText withCaptions(const SettingsLocation& location, const ProfileFileText& current, const ButtonLabels& labels,
                         std::int32_t n, std::optional<bool> holdKeys)
{
    ProfileFileText base = current;
    if (!current && location.readFrom != location.writeTo) {
        const Result<ProfileFileText> earlier = readProfileFile(location.readFrom);
        if (earlier)
            base = earlier.value();
    }
    ProfileText profile(base.value_or(FileText{.form = FileForm{.lineEnding = kNewFileLineEnding}, .text = {}}));
    for (std::int32_t index = 0; index < n; ++index) {
        if (!labels.exists(index))
            continue;
        const std::string key = std::to_string(index);
        const std::string caption = labels.caption(index);
        // A value longer than the read limit came back cut; unless the caption changed, the
        // whole value stays as it was written.
        if (profile.hasKey(kReadSection, key) && profile.value(kReadSection, key, "", kReadLimit) == caption)
            continue;
        profile.setValue(kWrittenSection, key, caption);
    }
    // A file that never chose held keys is left without the key while they stay off.
    const std::string wanted = holdKeys && *holdKeys ? "1" : "0";
    const bool stored = profile.hasKey(kReadSection, kHoldKeysKey);
    if (holdKeys && (stored || *holdKeys) && profile.value(kReadSection, kHoldKeysKey, "", kReadLimit) != wanted)
        profile.setValue(kWrittenSection, kHoldKeysKey, wanted);
    return profile;
}

// Without a home folder there is nowhere that belongs to this user, and a relative path
// would put the file wherever Kivo happened to be started.
Status placeToKeepTheFile(const SettingsLocation& location, std::string_view consequence)
{
    if (location.writeTo.empty() || location.readFrom.empty()) {
        return Problem{"there is no folder to keep kivo.ini in (" + std::string(whyNoSettingsFolder()) + "); " +
                       std::string(consequence)};
    }
    return {};
}

// Said once per load: the captions then stay as they are until the user assigns a key.
void noteLackingCharacters(const SettingsLocation& location, std::u32string lacking)
{
    std::ranges::sort(lacking);
    const auto [repeated, end] = std::ranges::unique(lacking);
    lacking.erase(repeated, end);
    std::string named;
    for (const char32_t c : lacking) {
        char code[16];
        std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(c));
        named += (named.empty() ? "" : ", ") + std::string(code);
    }
    reportProblem("the settings file " + quotedPath(location.readFrom) +
                  " holds characters that Windows-1252, the code page of the captions, lacks (" + named +
                  "); they are left out of the captions and type nothing.");
}

void noteMissingSection(const SettingsLocation& location, const ProfileFileText& text, const ProfileText& profile)
{
    if (text && !text->text.empty() && !profile.hasSection(kReadSection)) {
        reportProblem("the settings file " + quotedPath(location.readFrom) +
                      " has no [Settings] section; the button captions start empty.");
    }
}

}  // namespace

std::vector<std::string> captionsIn(const ProfileFileText& text, std::int32_t n, std::u32string* lacking)
{
    const ProfileText profile(text.value_or(FileText()));
    std::vector<std::string> captions;
    for (std::int32_t index = 0; index < n; ++index)
        captions.push_back(profile.value(kReadSection, std::to_string(index), "", kReadLimit, lacking));
    return captions;
}

Status loadCaptions(const SettingsLocation& location, ButtonLabels& labels, std::int32_t n)
{
    if (n <= 0)
        return {};
    if (const Status place = placeToKeepTheFile(location, "the button captions start empty."); !place)
        return place;
    const Result<ProfileFileText> file = readProfileFile(location.readFrom);
    const ProfileFileText text = file ? file.value() : ProfileFileText();
    if (file)
        noteMissingSection(location, text, ProfileText(text.value_or(FileText())));
    std::u32string lacking;
    const std::vector<std::string> captions = captionsIn(text, n, &lacking);
    for (std::int32_t index = 0; index < n; ++index) {
        if (labels.exists(index))
            labels.setCaption(index, captions[static_cast<std::size_t>(index)]);
    }
    if (!lacking.empty())
        noteLackingCharacters(location, std::move(lacking));
    if (!file) {
        return Problem{"cannot use the settings file " + quotedPath(location.readFrom) + ": " + file.problem() +
                       ". It is left alone and the button captions start empty."};
    }
    return {};
}

bool readHoldKeys(const SettingsLocation& location)
{
    if (location.readFrom.empty())
        return false;
    const Result<ProfileFileText> file = readProfileFile(location.readFrom);
    if (!file)
        return false;
    const ProfileText profile(file.value().value_or(FileText()));
    std::string value = profile.value(kReadSection, kHoldKeysKey, "0", kReadLimit);
    std::erase(value, ' ');
    // A hand-edited file may say it in words.
    for (const char* on : {"1", "true", "yes", "on"}) {
        if (equalIgnoringAsciiCase(value, on))
            return true;
    }
    return false;
}

Status saveCaptions(const SettingsLocation& location, const ButtonLabels& labels, std::int32_t n,
                    std::optional<bool> holdKeys)
{
    if (n <= 0 && !holdKeys)
        return {};
    if (const Status place = placeToKeepTheFile(location, "the button captions are not saved."); !place)
        return place;
    return saveCaptionsOver(location, readProfileFile(location.writeTo), labels, n, holdKeys);
}

Status saveCaptionsOver(const SettingsLocation& location, const Result<ProfileFileText>& current,
                        const ButtonLabels& labels, std::int32_t n, std::optional<bool> holdKeys)
{
    const fs::path& file = location.writeTo;
    std::error_code error;
    if (file.has_parent_path() && !fs::create_directories(file.parent_path(), error) && error) {
        return saveFailed(file, "cannot create the folder " + quotedPath(file.parent_path()) + ": " + error.message());
    }

    const ProfileText profile =
        withCaptions(location, current ? current.value() : ProfileFileText(), labels, n, holdKeys);
    if (current && current.value() == profile.fileText())
        return {};

    std::optional<fs::path> backup;
    if (!current) {
        // Whatever it holds, a file Kivo may not write or read is left to its owner.
        if (const Status replaceable = mayReplace(file); !replaceable)
            return saveFailed(file, replaceable.problem());
        const Result<fs::path> kept = keepAsBackup(file);
        if (!kept)
            return saveFailed(file, "the old file (" + current.problem() + ") cannot be kept: " + kept.problem());
        backup = kept.value();
    }
    if (const Status replaced = replaceFile(file, profile.text()); !replaced) {
        // The old file goes back to its name, so a failed save changes nothing.
        if (backup)
            fs::rename(*backup, file, error);
        if (backup && error) {
            return saveFailed(file, replaced.problem(),
                              "The old file stays " + quotedPath(*backup) +
                                  ": it cannot get its name back: " + error.message() + ".");
        }
        return saveFailed(file, replaced.problem());
    }
    if (backup) {
        reportProblem("kept the old settings file, which could not be used (" + current.problem() + "), as " +
                      quotedPath(*backup) + ".");
    }
    return {};
}

}  // namespace kivo
