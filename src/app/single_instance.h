#pragma once

#include "settings/location.h"
#include "window/exit_status.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

namespace kivo {

// One Kivo per settings file, so that two copies cannot overwrite each other's assignments. A
// start claims the file it will use; the claim lasts as long as this object.
class SingleInstance {
public:
    virtual ~SingleInstance() = default;

    // Tells the later start whether the window became active.
    using Answer = std::function<void(bool cameToFront)>;
    // Asks the window to come to the front, with the token that lets the desktop allow it (what
    // the later start's launcher gave it; empty when it has none), and answers once it knows.
    using FrontRequest = std::function<void(const std::string& activationToken, Answer answer)>;

    // Calls comeToFront whenever a later start with the same settings file asks.
    virtual void listen(FrontRequest comeToFront) = 0;
};

// Claims settingsFile, named as the platform names it whichever path reached it; each platform
// has its own. When a running Kivo holds it, asks that Kivo to come to the front, says what came
// of it (reportAlreadyRunning, reportAlreadyRunningUnanswered) and gives null: this start is to
// end, and succeeds. When the claim cannot be made at all, standard error says why and Kivo
// starts anyway.
std::unique_ptr<SingleInstance> claimSingleInstance(const std::filesystem::path& settingsFile);

// Runs Kivo while this start holds its settings file, the one place every platform claims it:
// start builds the window, which comes to the front whenever a later start asks through the
// instance, and gives the exit status. A start that finds another Kivo running ends, and succeeds.
template <class Start>
int runClaimed(const Start& start)
{
    const std::unique_ptr<SingleInstance> instance = claimSingleInstance(defaultSettingsLocation().writeTo);
    return instance ? start(*instance) : kExitSuccess;
}

}  // namespace kivo
