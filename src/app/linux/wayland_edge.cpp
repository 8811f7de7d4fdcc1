#include "app/linux/linux_edge.h"
#include "platform/desktop/desktop_layout_watch.h"
#include "platform/wayland/wayland_backends.h"

namespace kivo {
namespace {

// The compositor tells a client nothing of other windows, so the keyboard state and "in front"
// come from Kivo's own window.
class WaylandEdge final : public LinuxEdge {
public:
    WaylandEdge(std::unique_ptr<KeymapSource> keymaps, std::unique_ptr<KeySwitch> keyboard,
                const LinuxJoystick& joystick)
        : LinuxEdge(joystick),
          keymaps_(std::move(keymaps)),
          input_(makeOwnWindowInput(*keymaps_)),
          sender_(makeUinputKeySender(input_->typingInto(std::move(keyboard)), *keymaps_)),
          layoutWatch_(watchDesktopLayout([this](unsigned group) { keymaps_->groupInUse(group); }))
    {
    }

    InputServices services() override { return {joystick(), *input_, *input_, *sender_}; }

private:
    // Nothing tells of other windows, and Kivo's own coming to the front wakes the window logic.
    bool armForOtherWindows() override { return true; }

    std::unique_ptr<WindowHook> attachWindow(Form1& form, WindowLogic&) override
    {
        input_->setWindow(form.nativeHandle());
        form.observeInput(input_.get());
        return nullptr;
    }

    void activate(QWidget& window, const LaunchTokens& tokens) override
    {
        withActivationToken(tokens.activation, [&window] {
            window.raise();
            window.activateWindow();
        });
    }

    // Declared in the order they are built on each other, so that each goes before what it uses.
    std::unique_ptr<KeymapSource> keymaps_;
    std::unique_ptr<OwnWindowInput> input_;
    std::unique_ptr<KeySender> sender_;
    std::unique_ptr<DesktopLayoutWatch> layoutWatch_;
};

}  // namespace

// Qt's wayland platform activates a window with the token in this variable, and removes it once
// used; a compositor without xdg_activation_v1 leaves it unused.
void withActivationToken(const std::string& token, const std::function<void()>& activate)
{
    static constexpr char kTokenVariable[] = "XDG_ACTIVATION_TOKEN";
    if (!token.empty())
        qputenv(kTokenVariable, QByteArray::fromStdString(token));
    activate();
    qunsetenv(kTokenVariable);
}

std::unique_ptr<Edge<Form1>> openWaylandEdge(const LinuxJoystick& joystick)
{
    auto keymaps = connectWaylandKeymap();
    if (!keymaps)
        return nullptr;
    // Made now, at start-up: keys typed before the compositor has added the device are lost.
    auto keyboard = openUinputKeyboard();
    if (!keyboard)
        return nullptr;
    qputenv("QT_QPA_PLATFORM", "wayland");
    return std::make_unique<WaylandEdge>(std::move(keymaps), std::move(keyboard), joystick);
}

}  // namespace kivo
