#include "app/command_line.h"
#include "app/kivo_program.h"

#include <cstdio>

int main(int argc, char** argv)
{
    const kivo::StartRequest request = kivo::readCommandLine(argc, argv);
    switch (request.action) {
        case kivo::StartAction::ShowHelp:
            std::fputs(kivo::helpText().c_str(), stdout);
            return 0;
        case kivo::StartAction::ShowVersion:
            std::fputs(kivo::versionText().c_str(), stdout);
            return 0;
        case kivo::StartAction::Refuse:
            std::fprintf(stderr, "%s\n", request.refusal.c_str());
            return 2;
        case kivo::StartAction::Run:
            break;
    }
    auto program = kivo::KivoProgram::open(argc, argv);
    if (!program)
        return 1;
    program->showWindow();
    return program->run();
}
