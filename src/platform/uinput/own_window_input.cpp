#include "platform/uinput/uinput_backends.h"
#include "platform/virtual_key_codes.h"

#include <bitset>

namespace kivo {
namespace {

class KeyEventInput final : public OwnWindowInput {
public:
    KeyEventInput(WindowHandle kivoWindow, KeymapSource& keymaps) : kivoWindow_(kivoWindow), keymaps_(keymaps) {}

    void keyEvent(std::uint32_t keycode, bool down, std::uint32_t modifiers) override
    {
        if (!active_ || keycode >= down_.size()) {
            return;
        }
        down_.set(keycode, down);
        modifiers_ = modifiers;
    }

    void activeChanged(bool active) override
    {
        active_ = active;
        if (!active) {
            down_.reset();
        }
    }

    bool state(KeyboardState& keys) override
    {
        const XkbLayout& layout = keymaps_.layout();
        const bool numLockOn = (modifiers_ & layout.numLockMask()) != 0;
        keys.fill(0);
        for (std::size_t keycode = 0; keycode < down_.size(); ++keycode) {
            if (!down_.test(keycode)) {
                continue;
            }
            for (const std::uint8_t code : layout.virtualKeys(static_cast<xkb_keycode_t>(keycode), numLockOn)) {
                if (code != 0) {
                    keys[code] |= vk::kStateDown;
                }
            }
        }
        if ((modifiers_ & layout.capsLockMask()) != 0) {
            keys[vk::kCapsLock] |= vk::kStateToggled;
        }
        if (numLockOn) {
            keys[vk::kNumLock] |= vk::kStateToggled;
        }
        return true;
    }

    WindowHandle current() override { return active_ ? kivoWindow_ : 0; }

private:
    WindowHandle kivoWindow_;
    KeymapSource& keymaps_;
    bool active_ = false;
    std::bitset<256> down_;
    std::uint32_t modifiers_ = 0;
};

}  // namespace

std::unique_ptr<OwnWindowInput> makeOwnWindowInput(WindowHandle kivoWindow, KeymapSource& keymaps)
{
    return std::make_unique<KeyEventInput>(kivoWindow, keymaps);
}

}  // namespace kivo
