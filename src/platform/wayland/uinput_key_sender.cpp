#include "platform/wayland/wayland_backends.h"
#include "platform/xkb/layout_typing.h"

#include <memory>

namespace kivo {
namespace {

class UinputKeySender final : public KeySender {
public:
    UinputKeySender(std::unique_ptr<KeySwitch> keyboard, KeymapSource& keymaps)
        : keyboard_(std::move(keyboard)), keymaps_(keymaps), strings_(*keyboard_)
    {
    }

    void send(const KeyString& keys) override { strings_.send(keymaps_.layout(), keys); }
    void press(const KeyString& keys) override { strings_.press(keymaps_.layout(), keys); }
    void release(const KeyString& keys) override { strings_.release(keys); }

private:
    std::unique_ptr<KeySwitch> keyboard_;
    KeymapSource& keymaps_;
    // Declared after the keyboard, so that the keys it holds are let go before the keyboard goes.
    LayoutKeyStrings strings_;
};

}  // namespace

std::unique_ptr<KeySender> makeUinputKeySender(std::unique_ptr<KeySwitch> keyboard, KeymapSource& keymaps)
{
    return std::make_unique<UinputKeySender>(std::move(keyboard), keymaps);
}

}  // namespace kivo
