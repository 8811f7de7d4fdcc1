#include "window/win32/message_loop.h"

#include "platform/messages.h"
#include "window/exit_status.h"

#include <string>
#include <system_error>

namespace kivo {

int runMessageLoop(HWND form)
{
    MSG message;
    for (;;) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0)
            return static_cast<int>(message.wParam);
        if (got == -1)
            return kExitFailure;
        if (IsDialogMessageW(form, &message))
            continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

void reportWindowsFailure(std::string_view what)
{
    const DWORD error = GetLastError();
    reportProblem(std::string(what) + ": " + std::system_category().message(static_cast<int>(error)));
}

void failToStart(std::string_view what)
{
    reportWindowsFailure("cannot make " + std::string(what));
    PostQuitMessage(kExitFailure);
}

}  // namespace kivo
