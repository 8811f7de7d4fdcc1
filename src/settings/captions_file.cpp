#include "settings/captions.h"
#include "settings/captions_in_file.h"
#include "settings/file_replace.h"

#include "platform/messages.h"

#include <system_error>

namespace kivo {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> captionsOf(const ButtonLabels& labels, std::int32_t n)
{
    std::vector<std::string> captions;
    for (std::int32_t index = 0; index < n; ++index)
        captions.push_back(labels.exists(index) ? labels.caption(index) : std::string());
    return captions;
}

std::string buttonList(const std::vector<std::int32_t>& buttons)
{
    std::string list;
    for (const std::int32_t button : buttons)
        list += (list.empty() ? "" : ", ") + std::to_string(button);
    return list;
}

}  // namespace

Status CaptionsFile::load(ButtonLabels& labels, std::int32_t n)
{
    const Status loaded = loadCaptions(location_, labels, n);
    seen_ = {captionsOf(labels, n), stampOfFile(), std::nullopt};
    return loaded;
}

bool CaptionsFile::takeUpChanges(ButtonLabels& labels, std::int32_t n)
{
    if (n <= 0 || fileInUse().empty())
        return false;
    // A change elsewhere in its folder wakes the watch too: a file with the time and size it had
    // is not read again.
    if (const std::optional<Stamp> stamp = stampOfFile(); stamp && stamp == seen_.stamp)
        return false;
    return takeUp(readProfileFile(fileInUse()), labels, n);
}

bool CaptionsFile::takeUp(const Result<ProfileFileText>& file, ButtonLabels& labels, std::int32_t n)
{
    // A file that is gone holds no edit: an editor that replaces it may leave no file for a moment,
    // and the README's way to drop the assignments is deleting the folder while Kivo is not
    // running. One that cannot be read is kept aside at the next save.
    if (!file || !file.value())
        return false;
    const std::vector<std::string> inFile = captionsIn(file.value(), n);
    bool changed = false;
    std::vector<std::int32_t> overruled;
    for (std::int32_t index = 0; index < n; ++index) {
        const auto at = static_cast<std::size_t>(index);
        // A button that had no label when the file was last read had nothing of Kivo's to keep.
        if (at >= seen_.captions.size() || inFile[at] == seen_.captions[at] || !labels.exists(index))
            continue;
        const std::string caption = labels.caption(index);
        if (caption == seen_.captions[at]) {
            labels.setCaption(index, inFile[at]);
            changed = true;
        } else if (caption != inFile[at]) {
            overruled.push_back(index + 1);
        }
    }
    seen_ = {inFile, stampOfFile(), seen_.holdKeys};
    // The assignment is the user's latest word, made in Kivo's window just now.
    if (!overruled.empty()) {
        reportProblem("the settings file " + quotedPath(fileInUse()) + " changed the caption of button " +
                      buttonList(overruled) +
                      " while Kivo held an assignment of its own not yet saved; Kivo's assignment is kept and "
                      "replaces the file's at the next save.");
    }
    return changed;
}

Status CaptionsFile::save(ButtonLabels& labels, std::int32_t n)
{
    // Without a joystick there are no captions, but the held-keys choice is still kept.
    if (n <= 0 && !holdKeys_)
        return {};
    std::vector<std::string> captions = captionsOf(labels, n);
    const bool sameFile = savedOnce_ || location_.readFrom == location_.writeTo;
    if (savedOnce_ && captions == seen_.captions && seen_.holdKeys == holdKeys_ && seen_.stamp &&
        stampOfFile() == seen_.stamp)
        return {};
    if (location_.writeTo.empty())
        return saveCaptions(location_, labels, n, holdKeys_);
    // One read both shows what changed and is what the save replaces, so that no edit made
    // between the two is lost.
    const Result<ProfileFileText> current = readProfileFile(location_.writeTo);
    if (sameFile)
        takeUp(current, labels, n);
    const Status status = saveCaptionsOver(location_, current, labels, n, holdKeys_);
    if (status) {
        savedOnce_ = true;
        seen_ = {captionsOf(labels, n), stampOfFile(), holdKeys_};
    }
    return status;
}

std::vector<fs::path> CaptionsFile::watchedFiles() const
{
    if (fileInUse().empty())
        return {};
    const fs::path target = replacedFile(fileInUse());
    if (target == fileInUse())
        return {target};
    return {fileInUse(), target};
}

const fs::path& CaptionsFile::fileInUse() const
{
    return savedOnce_ ? location_.writeTo : location_.readFrom;
}

// A file replaced or changed by anyone gets a new time, to the file system's resolution, or size.
std::optional<CaptionsFile::Stamp> CaptionsFile::stampOfFile() const
{
    std::error_code error;
    const fs::path file = replacedFile(fileInUse());
    const fs::file_time_type written = fs::last_write_time(file, error);
    if (error)
        return std::nullopt;
    const std::uintmax_t size = fs::file_size(file, error);
    if (error)
        return std::nullopt;
    return Stamp{written, size};
}

}  // namespace kivo
