#include "app/win32/single_instance.h"

#include "window/win32/form1.h"

namespace kivo {

// The session's namespace, so each signed-in user has a Kivo of their own.
SingleInstance::SingleInstance()
    : mutex_(CreateMutexW(nullptr, FALSE, L"Local\\Kivo.SingleInstance")),
      alreadyRunning_(mutex_ != nullptr && GetLastError() == ERROR_ALREADY_EXISTS)
{
}

SingleInstance::~SingleInstance()
{
    if (mutex_ != nullptr)
        CloseHandle(mutex_);
}

void SingleInstance::activateRunning()
{
    const HWND running = FindWindowW(Form1::kWindowClass, nullptr);
    if (running == nullptr)
        return;
    // Windows lets a process that was just started set the foreground window, and the running
    // one only when it is allowed to; under Wine only the window's own process can raise it.
    DWORD process = 0;
    GetWindowThreadProcessId(running, &process);
    AllowSetForegroundWindow(process);
    PostMessageW(running, Form1::bringToFrontMessage(), 0, 0);
    if (IsIconic(running))
        ShowWindow(running, SW_RESTORE);
    // An open Quit question comes to the front with its window.
    SetForegroundWindow(GetLastActivePopup(running));
}

}  // namespace kivo
