#include "app/kivo_main.h"

#include "app/command_line.h"
#include "settings/location.h"

#include <cstdio>

namespace kivo {
namespace {

constexpr int kExitUsage = 2;

}  // namespace

int runKivo(int argc, char** argv, OtherArguments others, const PlatformStart& start,
            const JoystickListing& listJoysticks)
{
    const StartRequest request = readCommandLine(argc, argv, others);
    switch (request.action) {
        case StartAction::ShowHelp:
            std::fputs(helpText(defaultSettingsLocation().writeTo).c_str(), stdout);
            return 0;
        case StartAction::ShowVersion:
            std::fputs(versionText().c_str(), stdout);
            return 0;
        case StartAction::ListJoysticks:
            std::fputs(listJoysticks().c_str(), stdout);
            return 0;
        case StartAction::Refuse:
            std::fprintf(stderr, "%s\n", request.refusal.c_str());
            return kExitUsage;
        case StartAction::Run:
            break;
    }
    return start(argc, argv);
}

}  // namespace kivo
