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
    return start(argc, argv, request);
}

}  // namespace kivo
