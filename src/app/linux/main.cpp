#include "app/kivo_main.h"
#include "app/linux/edge_choice.h"
#include "app/linux/linux_program.h"

int main(int argc, char** argv)
{
    const auto start = [](int& qtArgc, char** qtArgv) {
        return kivo::runClaimed([&](kivo::SingleInstance& instance) {
            kivo::OpenedProgram opened = kivo::LinuxProgram::open(qtArgc, qtArgv, instance);
            if (!opened.program)
                return opened.exitStatus;
            opened.program->showWindow();
            return opened.program->run();
        });
    };
    return kivo::runKivo(argc, argv, kivo::OtherArguments::Refuse, start, kivo::listSdlJoysticks,
                         [] { return kivo::chooseEdge(kivo::currentSessionFacts()).why; });
}
