#include "app/kivo_main.h"
#include "app/single_instance.h"
#include "app/win32/parent_console.h"
#include "app/win32/win32_program.h"
#include "platform/win32/win32_backends.h"
#include "settings/location.h"
#include "window/exit_status.h"

int main(int argc, char** argv)
{
    if (argc > 1)
        kivo::useParentConsole();
    const auto start = [](int&, char**) -> int {
        const kivo::InstanceClaim claim = kivo::claimSingleInstance(kivo::defaultSettingsLocation().writeTo);
        if (!claim.instance)
            return kivo::kExitSuccess;
        kivo::Win32Program program(kivo::makeWinmmJoystick());
        program.showWindow();
        claim.instance->listen(
            [&program](const std::string&, const kivo::SingleInstance::Answer&) { program.form().bringToFront(); });
        return program.run();
    };
    return kivo::runKivo(argc, argv, kivo::OtherArguments::Ignore, start, kivo::listWinmmJoysticks);
}
