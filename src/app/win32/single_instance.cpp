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
    if (IsIconic(running))
        ShowWindow(running, SW_RESTORE);
    SetForegroundWindow(running);
}

}  // namespace kivo
