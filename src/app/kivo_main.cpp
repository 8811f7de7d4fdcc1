#include "app/kivo_main.h"

#include "app/command_line.h"
#include "platform/messages.h"
#include "settings/location.h"
#include "window/exit_status.h"

#include <cstdio>

namespace kivo {

int runKivo(int argc, char** argv, OtherArguments others, JoystickOption joystickOption, const PlatformStart& start,
            const JoystickListing& listJoysticks, const std::function<std::string()>& platformNote)
{
    const StartRequest request = readCommandLine(argc, argv, others, joystickOption);
    switch (request.action) {
        case StartAction::ShowHelp:
            std::fputs(helpText(defaultSettingsLocation().writeTo, joystickOption,
                                platformNote ? platformNote() : std::string())
                           .c_str(),
                       stdout);
            return kExitSuccess;
        case StartAction::ShowVersion:
            std::fputs(versionText().c_str(), stdout);
            return kExitSuccess;
        case StartAction::ListJoysticks:
            std::fputs(listJoysticks(request.joystick).c_str(), stdout);
            return kExitSuccess;
        case StartAction::Refuse:
            reportProblem(request.refusal);
            return kExitUsage;
        case StartAction::Run:
            break;
    }
    return start(argc, argv, request.joystick);
}

void reportAlreadyRunning(const std::filesystem::path& settingsFile, bool cameToFront)
{
    const std::string running = "Kivo is already running with " + quotedPath(settingsFile);
    if (cameToFront)
        reportProblem(running + "; its window is brought to the front instead.");
    else
        reportProblem(running + "; it was asked to bring its window to the front, but the desktop did not put it " +
                      "there (it may show that Kivo wants attention instead).");
}

void reportAlreadyRunningUnanswered(const std::filesystem::path& settingsFile, std::optional<long> processId)
{
    const std::string process = processId ? " (process " + std::to_string(*processId) + ")" : std::string();
    reportProblem("Kivo is already running with " + quotedPath(settingsFile) + process +
                  ", but its window did not come to the front: that Kivo is busy, still starting or stopped. "
                  "This start ends, so that two cannot overwrite each other's assignments.");
}

}  // namespace kivo
