#include "app/win32/win32_program.h"

#include "platform/messages.h"
#include "platform/win32/win32_backends.h"
#include "settings/location.h"
#include "window/win32/message_loop.h"

namespace kivo {

Win32Program::Win32Program(std::unique_ptr<Joystick> joystick)
    : joystick_(std::move(joystick)),
      keyboard_(makeRawInputKeyboard()),
      foreground_(makeWin32Foreground()),
      sender_(makeSendInputKeySender())
{
}

void Win32Program::showWindow()
{
    // Explorer gives kivo.exe no terminal to show start-up problems on.
    session_ = std::make_unique<Session<Form1>>(InputServices{*joystick_, *keyboard_, *foreground_, *sender_},
                                                defaultSettingsLocation(), nullptr, StartUpProblems::InABoxToo);
    Form1& form = session_->form();
    keyboard_->readFrom(form.window());
    rawInput_ = std::make_unique<RawInput>(form.window());
    if (!rawInput_->add(*keyboard_))
        reportProblem("Windows gives no keyboard input to Kivo's window, so no key can be assigned");
    wakeUps_ = std::make_unique<Win32WakeUps>(*joystick_);
    form.tapMessages([this](UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_INPUT)
            rawInput_->handle(lParam);
        else if (message == WM_INPUT_DEVICE_CHANGE)
            wakeUps_->devicesChanged(wParam, reinterpret_cast<HANDLE>(lParam));
    });
    // Without raw input from the joysticks, nothing would wake the ticks. The first tick comes
    // from the message loop, after this.
    if (rawInput_->add(*wakeUps_))
        session_->logic().sleepBetweenWakeUps(*wakeUps_);
    form.show();
}

int Win32Program::run()
{
    return runMessageLoop(session_->form().window());
}

}  // namespace kivo
