#include "platform/x11/x11_backends.h"

#include "platform/virtual_key_codes.h"

#include <array>
#include <bitset>
#include <optional>
#include <utility>

namespace kivo {
namespace {

class X11Keyboard final : public Keyboard {
public:
    explicit X11Keyboard(X11Connection& connection) : connection_(connection) {}

    // Asks the server only after a key went up or down somewhere.
    bool state(KeyboardState& keys) override
    {
        connection_.readEvents();
        if (seenKeyChanges_ != connection_.keyChanges()) {
            seenKeyChanges_ = connection_.keyChanges();
            XQueryKeymap(connection_.display(), keymap_.data());
            for (std::size_t keycode = 0; keycode < down_.size(); ++keycode)
                down_[keycode] = (static_cast<unsigned char>(keymap_[keycode / 8]) & (1U << (keycode % 8))) != 0;
            // Key and light changes that happened before the reply arrived with it.
            connection_.readEvents();
        }
        const XkbLayout& layout = connection_.layout();
        const ServerKeymap& lights = connection_.keymap();
        const unsigned lit = connection_.litIndicators();
        keys.fill(0);
        layout.virtualKeys().markDown(keys, down_, (lit & lights.numLockLight()) != 0, told_);
        for (auto [light, code] :
             {std::pair{lights.capsLockLight(), vk::kCapsLock}, std::pair{lights.numLockLight(), vk::kNumLock},
              std::pair{lights.scrollLockLight(), vk::kScrollLock}}) {
            if ((lit & light) != 0) {
                keys[code] |= vk::kStateToggled;
            }
        }
        return true;
    }

    std::string tokenOnLayout(std::uint8_t code) override { return connection_.layout().virtualKeys().token(code); }

private:
    X11Connection& connection_;
    std::optional<std::uint64_t> seenKeyChanges_;
    // One bit a keycode, as XQueryKeymap gives them.
    std::array<char, 32> keymap_{};
    std::bitset<256> down_;
    // Keys without a code, told once each.
    std::bitset<256> told_;
};

}  // namespace

std::unique_ptr<Keyboard> makeX11Keyboard(X11Connection& connection)
{
    return std::make_unique<X11Keyboard>(connection);
}

}  // namespace kivo
