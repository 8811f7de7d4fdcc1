#pragma once

#include <cstdint>

namespace kivo {

// Hears what Kivo's window learns of the keyboard, for a platform whose programs learn nothing of
// other windows: its key presses and releases, and its activation.
class WindowInputObserver {
public:
    virtual ~WindowInputObserver() = default;
    // A key went down or up in the window; the scan code, modifiers and virtual key (an XKB
    // keysym, where the platform reads keys with xkbcommon) as the platform gave them.
    // Auto-repeated presses are left out: they change nothing.
    virtual void keyEvent(std::uint32_t nativeScanCode, bool down, std::uint32_t nativeModifiers,
                          std::uint32_t nativeVirtualKey) = 0;
    virtual void activeChanged(bool active) = 0;
};

}  // namespace kivo
