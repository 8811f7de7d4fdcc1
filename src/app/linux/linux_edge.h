#pragma once

#include "app/edge.h"
#include "app/linux/wake_ups/descriptor_wake_ups.h"
#include "platform/sdl/joystick_watch.h"
#include "platform/sdl/sdl_joystick.h"
#include "platform/wake_ups.h"
#include "window/qt/form1.h"

#include <functional>
#include <memory>
#include <string>

namespace kivo {

// How the program learns that the joystick changed: when empty, watchJoystickNode(); the
// end-to-end host announces the changes of its virtual joystick itself.
using JoystickWatcher = std::function<std::unique_ptr<JoystickWatch>(const SdlJoystick& joystick)>;

// How the edge opens the joystick it reads: when empty, makeSdlJoystick(); a test gives its own,
// so that no SDL starts.
using JoystickOpener = std::function<std::unique_ptr<SdlJoystick>(const JoystickChoice& choice)>;

// Which joystick the edge reads (kivo --joystick), and how it is opened and watched.
struct LinuxJoystick {
    JoystickChoice choice;
    JoystickWatcher watch;
    JoystickOpener open;
};

// What the X11 and the Wayland edge share: the SDL joystick, the wake-ups for it and for what the
// edge learns of other windows, and the way Kivo's window is shown and comes to the front. Kivo's
// own window coming to the front wakes the window logic directly, through its activation. Chosen
// once at start-up, before the Qt application is made.
class LinuxEdge : public Edge<Form1>, private WakeUpSource {
public:
    explicit LinuxEdge(const LinuxJoystick& joystick);

    std::unique_ptr<WindowHook> showWindow(Form1& form, WindowLogic& logic) final;
    WakeUpSource* wakeUps() final { return this; }
    void comeToFront(Form1& form, const LaunchTokens& tokens, SingleInstance::Answer answer) final;

protected:
    Joystick& joystick() { return *joystick_; }
    using WakeUpSource::wake;

private:
    bool armForNextChange() final;

    // Arms the watch on other windows once the joystick's is armed; true when their next change
    // will be announced.
    virtual bool armForOtherWindows() = 0;
    // Ties the edge to Kivo's window before it is first shown, once the Qt application is made.
    virtual std::unique_ptr<WindowHook> attachWindow(Form1& form, WindowLogic& logic) = 0;
    // Raises the window and asks for it to become active, with what the desktop needs to let it:
    // each edge uses only its own kind of the launcher's tokens.
    virtual void activate(QWidget& window, const LaunchTokens& tokens) = 0;

    std::unique_ptr<SdlJoystick> joystick_;
    JoystickWatcher watchJoystick_;
    std::unique_ptr<JoystickWatch> joystickWatch_;
    std::unique_ptr<DescriptorWakeUps> joystickWakeUps_;
};

// Over the X display that DISPLAY names; says on standard error why when there is none.
std::unique_ptr<Edge<Form1>> openX11Edge(const LinuxJoystick& joystick);
// Over the compositor's keymap and a new uinput keyboard; says on standard error why when
// either cannot be had.
std::unique_ptr<Edge<Form1>> openWaylandEdge(const LinuxJoystick& joystick);
// Runs `activate` with the activation token where Qt's wayland platform takes it from, and takes
// it away afterwards, so that no later activation offers a spent token.
void withActivationToken(const std::string& token, const std::function<void()>& activate);

}  // namespace kivo
