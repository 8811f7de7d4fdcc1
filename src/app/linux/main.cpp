#include "app/kivo_main.h"
#include "app/linux/edge_choice.h"
#include "app/linux/linux_program.h"

int main(int argc, char** argv)
{
    const auto start = [](int& qtArgc, char** qtArgv) {
        return kivo::runClaimed(
            [&](kivo::SingleInstance& instance) { return kivo::runLinuxKivo(qtArgc, qtArgv, instance); });
    };
    return kivo::runKivo(
        argc, argv, kivo::OtherArguments::Refuse, start, [] { return kivo::listSdlJoysticks(); },
        [] { return kivo::chooseEdge(kivo::currentSessionFacts()).why; });
}
