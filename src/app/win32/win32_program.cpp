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

// The logic goes before the window it talks to.
Win32Program::~Win32Program()
{
    logic_.reset();
    form_.reset();
}

void Win32Program::showWindow()
{
    const InputServices services{*joystick_, *keyboard_, *foreground_, *sender_};
    form_ = std::make_unique<Form1>();
    logic_ = std::make_unique<WindowLogic>(*form_, services, selected_, defaultSettingsLocation());
    // Start-up runs before the window is first shown.
    logic_->load();
    form_->show();
}

int Win32Program::run()
{
    return runMessageLoop(form_->window());
}

}  // namespace kivo
