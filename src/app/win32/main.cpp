#include "app/kivo_main.h"
#include "app/single_instance.h"
#include "app/win32/parent_console.h"
#include "app/win32/win32_edge.h"
#include "platform/win32/win32_backends.h"

int main(int argc, char** argv)
{
    if (argc > 1)
        kivo::useParentConsole();
    const auto start = [](int&, char**, const kivo::StartRequest& request) {
        return kivo::runClaimed([&](kivo::SingleInstance& instance) {
            kivo::Win32Edge edge(kivo::makeWinmmJoystick());
            return kivo::runWin32Kivo(edge, instance, {}, request.holdKeys);
        });
    };
    return kivo::runKivo(argc, argv, kivo::OtherArguments::Ignore, kivo::JoystickOption::ControlPanel, start,
                         [](const kivo::JoystickChoice&) { return kivo::listWinmmJoysticks(); });
}
