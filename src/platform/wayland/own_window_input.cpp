#include "platform/virtual_key_codes.h"
#include "platform/wayland/wayland_backends.h"

#include <array>
#include <bitset>
#include <functional>

namespace kivo {
namespace {

// Counts the presses Kivo types, for the input to know their echoes.
class EchoCountingKeyboard final : public KeySwitch {
public:
    EchoCountingKeyboard(std::unique_ptr<KeySwitch> keyboard, std::function<void(unsigned)> pressed)
        : keyboard_(std::move(keyboard)), pressed_(std::move(pressed))
    {
    }

    void key(unsigned code, bool down) override
    {
        keyboard_->key(code, down);
        if (down) {
            pressed_(code);
        }
    }

private:
    std::unique_ptr<KeySwitch> keyboard_;
    std::function<void(unsigned)> pressed_;
};

class KeyEventInput final : public OwnWindowInput {
public:
    explicit KeyEventInput(KeymapSource& keymaps) : keymaps_(keymaps) {}

    void keyEvent(std::uint32_t keycode, bool down, std::uint32_t modifiers, std::uint32_t keysym) override
    {
        if (!active_ || keycode >= down_.size()) {
            return;
        }
        if (down && keysym != XKB_KEY_NoSymbol) {
            keymaps_.keyTyped(keycode, keysym);
        }
        if (down && echoes_[keycode] > 0) {
            --echoes_[keycode];
            return;
        }
        down_.set(keycode, down);
        modifiers_ = modifiers;
    }

    void activeChanged(bool active) override
    {
        active_ = active;
        echoes_.fill(0);
        if (!active) {
            down_.reset();
        }
    }

    std::unique_ptr<KeySwitch> typingInto(std::unique_ptr<KeySwitch> keyboard) override
    {
        return std::make_unique<EchoCountingKeyboard>(std::move(keyboard), [this](unsigned code) {
            if (active_ && code + kEvdevToXkb < echoes_.size()) {
                ++echoes_[code + kEvdevToXkb];
            }
        });
    }

    bool state(KeyboardState& keys) override
    {
        const XkbLayout& layout = keymaps_.layout();
        const bool numLockOn = (modifiers_ & layout.numLockMask()) != 0;
        keys.fill(0);
        layout.virtualKeys().markDown(keys, down_, numLockOn, told_);
        if ((modifiers_ & layout.capsLockMask()) != 0) {
            keys[vk::kCapsLock] |= vk::kStateToggled;
        }
        if (numLockOn) {
            keys[vk::kNumLock] |= vk::kStateToggled;
        }
        return true;
    }

    std::string tokenOnLayout(std::uint8_t code) override { return keymaps_.layout().virtualKeys().token(code); }

    void setWindow(WindowHandle kivoWindow) override { kivoWindow_ = kivoWindow; }
    WindowHandle current() override { return active_ ? kivoWindow_ : 0; }

private:
    WindowHandle kivoWindow_ = 0;
    KeymapSource& keymaps_;
    bool active_ = false;
    std::bitset<256> down_;
    // Keys without a code, told once each.
    std::bitset<256> told_;
    std::array<unsigned, 256> echoes_{};
    std::uint32_t modifiers_ = 0;
};

}  // namespace

std::unique_ptr<OwnWindowInput> makeOwnWindowInput(KeymapSource& keymaps)
{
    return std::make_unique<KeyEventInput>(keymaps);
}

}  // namespace kivo
