#include "platform/win32/win32_backends.h"

#include <windows.h>

namespace kivo {
namespace {

class Win32Keyboard final : public Keyboard {
public:
    bool state(KeyboardState& keys) override
    {
        static_assert(sizeof(keys) == 256);
        return GetKeyboardState(keys.data()) != FALSE;
    }
};

}  // namespace

std::unique_ptr<Keyboard> makeWin32Keyboard()
{
    return std::make_unique<Win32Keyboard>();
}

}  // namespace kivo
