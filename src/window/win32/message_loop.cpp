#include "window/win32/message_loop.h"

#include "window/exit_status.h"

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

}  // namespace kivo
