#pragma once

#include "app/edge.h"
#include "app/win32/win32_wake_ups.h"
#include "platform/input_services.h"
#include "platform/win32/win32_backends.h"
#include "window/win32/form1.h"

#include <functional>
#include <memory>
#include <optional>

namespace kivo {

// Kivo on Windows: the joystick it is given, the keyboard through the window's raw input, the
// window in front and SendInput, with the joysticks' raw input waking the ticks.
class Win32Edge final : public Edge<Form1> {
public:
    explicit Win32Edge(std::unique_ptr<Joystick> joystick);

    InputServices services() override { return {*joystick_, *keyboard_, *foreground_, *sender_}; }
    std::unique_ptr<WindowHook> showWindow(Form1& form, WindowLogic& logic) override;
    WakeUpSource* wakeUps() override { return joysticksReport_ ? &wakeUps_ : nullptr; }
    // Windows lets the window come to the front, as the later start allowed it, or may only flash
    // its taskbar button; the answer says which.
    void comeToFront(Form1& form, const LaunchTokens&, SingleInstance::Answer answer) override;

    // What the joysticks' raw input reaches.
    Win32WakeUps& joystickReports() { return wakeUps_; }

private:
    std::unique_ptr<Joystick> joystick_;
    std::unique_ptr<Win32Keyboard> keyboard_;
    std::unique_ptr<ForegroundWindow> foreground_;
    std::unique_ptr<KeySender> sender_;
    Win32WakeUps wakeUps_{*joystick_};
    std::unique_ptr<RawInput> rawInput_;
    bool joysticksReport_ = false;
};

// Kivo on Windows as kivo.exe runs it: start-up, the window shown, and its messages until it
// ends; gives the exit status. The end-to-end host runs exactly this, with a scripted joystick in
// place of winmm's, and hears when the window is shown.
int runWin32Kivo(Win32Edge& edge, SingleInstance& instance, const std::function<void(Form1& form)>& shown = {},
                 std::optional<bool> holdKeys = std::nullopt);

}  // namespace kivo
