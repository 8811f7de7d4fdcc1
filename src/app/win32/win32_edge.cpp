#include "app/win32/win32_edge.h"

#include "app/session.h"
#include "platform/messages.h"
#include "settings/location.h"
#include "window/win32/message_loop.h"

namespace kivo {

Win32Edge::Win32Edge(std::unique_ptr<Joystick> joystick)
    : joystick_(std::move(joystick)),
      keyboard_(makeRawInputKeyboard()),
      foreground_(makeWin32Foreground()),
      sender_(makeSendInputKeySender())
{
}

std::unique_ptr<WindowHook> Win32Edge::showWindow(Form1& form, WindowLogic&)
{
    keyboard_->readFrom(form.window());
    rawInput_ = std::make_unique<RawInput>(form.window());
    if (!rawInput_->add(*keyboard_))
        reportProblem("Windows gives no keyboard input to Kivo's window, so no key can be assigned");
    form.tapMessages([this](UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_INPUT)
            rawInput_->handle(lParam);
        else if (message == WM_INPUT_DEVICE_CHANGE)
            wakeUps_.devicesChanged(wParam, reinterpret_cast<HANDLE>(lParam));
    });
    // Without raw input from the joysticks, nothing would wake the ticks. The first tick comes
    // from the message loop, after this.
    joysticksReport_ = rawInput_->add(wakeUps_);
    form.show();
    return nullptr;
}

void Win32Edge::comeToFront(Form1& form, const LaunchTokens&, SingleInstance::Answer answer)
{
    form.bringToFront();
    if (!answer)
        return;
    // Kivo's window, or a question it shows, is in front.
    DWORD process = 0;
    GetWindowThreadProcessId(GetForegroundWindow(), &process);
    answer(process == GetCurrentProcessId());
}

int runWin32Kivo(Win32Edge& edge, SingleInstance& instance, const std::function<void(Form1& form)>& shown,
                 std::optional<bool> holdKeys)
{
    // Explorer gives kivo.exe no terminal to show start-up problems on.
    Session<Form1> session(edge, defaultSettingsLocation(), StartUpProblems::InABoxToo, holdKeys);
    session.show(instance);
    if (shown)
        shown(session.form());
    return runMessageLoop(session.form().window());
}

}  // namespace kivo
