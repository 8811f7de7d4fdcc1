#include "app/kivo_main.h"
#include "app/linux/edge_choice.h"
#include "app/linux/linux_program.h"
#include "platform/dbus/session_bus.h"

int main(int argc, char** argv)
{
    const auto start = [](int& qtArgc, char** qtArgv, const kivo::StartRequest& request) {
        return kivo::runClaimed(
            [&](kivo::SingleInstance& instance) { return kivo::runLinuxKivo(qtArgc, qtArgv, instance, request); });
    };
    return kivo::runKivo(
        argc, argv, kivo::OtherArguments::Refuse, kivo::JoystickOption::Offered, start,
        [](const kivo::JoystickChoice& joystick) {
            kivo::shutOutASlowSessionBus();
            return kivo::listSdlJoysticks(joystick);
        },
        [] { return kivo::chooseEdge(kivo::currentSessionFacts()).why; });
}
