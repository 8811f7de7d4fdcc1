#include "platform/win32/named_keys.h"

#include "platform/virtual_key_codes.h"

#include <array>

namespace kivo {
namespace {

// Indexed by NamedKey up to Pause; the function keys follow in order.
constexpr std::array<std::uint8_t, static_cast<int>(NamedKey::F1)> kVirtualKeys{
    vk::kBackspace, vk::kTab,  vk::kEnter,  vk::kEscape,   vk::kPageUp,  vk::kPageDown,    vk::kEnd,
    vk::kHome,      vk::kLeft, vk::kUp,     vk::kRight,    vk::kDown,    vk::kPrintScreen, vk::kInsert,
    vk::kDelete,    vk::kHelp, vk::kCancel, vk::kCapsLock, vk::kNumLock, vk::kScrollLock,  vk::kPause,
};

}  // namespace

std::uint8_t virtualKeyFor(NamedKey key)
{
    const auto index = static_cast<std::size_t>(key);
    if (index < kVirtualKeys.size()) {
        return kVirtualKeys[index];
    }
    return static_cast<std::uint8_t>(vk::kF1 + (index - kVirtualKeys.size()));
}

bool isExtendedKey(std::uint8_t virtualKey)
{
    switch (virtualKey) {
        case vk::kLeft:
        case vk::kUp:
        case vk::kRight:
        case vk::kDown:
        case vk::kInsert:
        case vk::kDelete:
        case vk::kHome:
        case vk::kEnd:
        case vk::kPageUp:
        case vk::kPageDown:
        case vk::kRightControl:
        case vk::kRightAlt:
        case vk::kNumLock:
        case vk::kKeypadDivide:
            return true;
        default:
            return false;
    }
}

}  // namespace kivo
