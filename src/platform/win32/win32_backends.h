#pragma once

#include "platform/input_services.h"

#include <memory>
#include <string>

namespace kivo {

// The Windows input services. The keyboard state is the calling thread's view of the
// keyboard, so it is read on the window's thread, between its messages.
std::unique_ptr<Joystick> makeWinmmJoystick();
std::unique_ptr<Keyboard> makeWin32Keyboard();
std::unique_ptr<ForegroundWindow> makeWin32Foreground();
std::unique_ptr<KeySender> makeSendInputKeySender();

// One line for each joystick winmm finds answering (number, name, buttons), the first marked as
// the one Kivo uses; or a line saying that there is none.
std::string listWinmmJoysticks();

}  // namespace kivo
