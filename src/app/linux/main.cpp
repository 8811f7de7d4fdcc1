#include "app/kivo_main.h"
#include "app/linux/linux_program.h"

int main(int argc, char** argv)
{
    return kivo::runKivo(argc, argv, [](int& qtArgc, char** qtArgv) {
        auto program = kivo::LinuxProgram::open(qtArgc, qtArgv);
        if (!program)
            return 1;
        program->showWindow();
        return program->run();
    });
}
