#include "app/kivo_main.h"
#include "app/win32/parent_console.h"
#include "app/win32/single_instance.h"
#include "app/win32/win32_program.h"
#include "platform/win32/win32_backends.h"
#include "settings/location.h"
#include "window/exit_status.h"

int main(int argc, char** argv)
{
    if (argc > 1)
        kivo::useParentConsole();
    const auto start = [](int&, char**) -> int {
        const kivo::SingleInstance instance;
        if (instance.alreadyRunning()) {
            kivo::reportAlreadyRunning(kivo::defaultSettingsLocation().writeTo);
            kivo::SingleInstance::activateRunning();
            return kivo::kExitSuccess;
        }
        kivo::Win32Program program(kivo::makeWinmmJoystick());
        program.showWindow();
        return program.run();
    };
    return kivo::runKivo(argc, argv, kivo::OtherArguments::Ignore, start, kivo::listWinmmJoysticks);
}
