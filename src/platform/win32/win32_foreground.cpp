#include "platform/win32/win32_backends.h"

#include <windows.h>

namespace kivo {
namespace {

class Win32Foreground final : public ForegroundWindow {
public:
    WindowHandle current() override { return reinterpret_cast<WindowHandle>(GetForegroundWindow()); }
};

}  // namespace

std::unique_ptr<ForegroundWindow> makeWin32Foreground()
{
    return std::make_unique<Win32Foreground>();
}

}  // namespace kivo
