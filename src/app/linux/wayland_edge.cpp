#include "app/linux/input_edge.h"
#include "platform/uinput/uinput_backends.h"

namespace kivo {
namespace {

// The compositor tells a client nothing of other windows, so the keyboard state and "in front"
// come from Kivo's own window.
class WaylandEdge final : public InputEdge, private WindowInputObserver {
public:
    WaylandEdge(std::unique_ptr<KeymapSource> keymaps, std::unique_ptr<KeySwitch> keyboard)
        : keymaps_(std::move(keymaps)),
          input_(makeOwnWindowInput(*keymaps_)),
          sender_(makeUinputKeySender(input_->typingInto(std::move(keyboard)), *keymaps_))
    {
    }

    Keyboard& keyboard() override { return *input_; }
    ForegroundWindow& foreground() override { return *input_; }
    KeySender& sender() override { return *sender_; }
    std::unique_ptr<LinuxWakeUps> makeWakeUps() override { return std::make_unique<LinuxWakeUps>(nullptr); }

    std::unique_ptr<QAbstractNativeEventFilter> attachWindow(Form1& form, WindowLogic&) override
    {
        input_->setWindow(form.nativeHandle());
        form.observeInput(this);
        return nullptr;
    }

    void activate(QWidget& window, const std::string& activationToken) override
    {
        // Qt's wayland platform activates a window with the token in this variable, and removes
        // it once used; a compositor without xdg_activation_v1 leaves it unused.
        constexpr char kTokenVariable[] = "XDG_ACTIVATION_TOKEN";
        if (!activationToken.empty())
            qputenv(kTokenVariable, QByteArray::fromStdString(activationToken));
        window.raise();
        window.activateWindow();
        qunsetenv(kTokenVariable);
    }

private:
    void keyEvent(std::uint32_t nativeScanCode, bool down, std::uint32_t nativeModifiers) override
    {
        input_->keyEvent(nativeScanCode, down, nativeModifiers);
    }

    // Kivo's window coming to the front wakes the ticks through the window logic itself.
    void activeChanged(bool active) override { input_->activeChanged(active); }

    // Declared in the order they are built on each other, so that each goes before what it uses.
    std::unique_ptr<KeymapSource> keymaps_;
    std::unique_ptr<OwnWindowInput> input_;
    std::unique_ptr<KeySender> sender_;
};

}  // namespace

std::unique_ptr<InputEdge> openWaylandEdge()
{
    auto keymaps = connectWaylandKeymap();
    if (!keymaps)
        return nullptr;
    // Made now, at start-up: keys typed before the compositor has added the device are lost.
    auto keyboard = openUinputKeyboard();
    if (!keyboard)
        return nullptr;
    qputenv("QT_QPA_PLATFORM", "wayland");
    return std::make_unique<WaylandEdge>(std::move(keymaps), std::move(keyboard));
}

}  // namespace kivo
