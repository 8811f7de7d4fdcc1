#include "app/win32/win32_program.h"

#include "platform/win32/win32_backends.h"
#include "settings/location.h"
#include "window/win32/message_loop.h"

namespace kivo {

Win32Program::Win32Program(std::unique_ptr<Joystick> joystick)
    : joystick_(std::move(joystick)),
      keyboard_(makeWin32Keyboard()),
      foreground_(makeWin32Foreground()),
      sender_(makeSendInputKeySender())
{
}

void Win32Program::showWindow()
{
    session_ = std::make_unique<Session<Form1>>(InputServices{*joystick_, *keyboard_, *foreground_, *sender_},
                                                defaultSettingsLocation());
    session_->form().show();
}

int Win32Program::run()
{
    return runMessageLoop(session_->form().window());
}

}  // namespace kivo
