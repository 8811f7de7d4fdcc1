#pragma once

#include "platform/joystick_records.h"

#include <SDL_gamecontroller.h>
#include <SDL_joystick.h>

namespace kivo {

// SDL's joystick state in the Windows record layouts: axes in 0..65535 with rest near the
// middle, buttons as bits, the hat as a point-of-view angle. A pad without a hat whose D-pad the
// kernel reports as four buttons (a PS3 or a Switch pad) has them as the point of view, where SDL
// knows the pad as a game controller (`controller`, else null).
void fillCapabilities(SDL_Joystick* joystick, JOYCAPS& caps);
void fillPosition(SDL_Joystick* joystick, SDL_GameController* controller, JOYINFOEX& info);

}  // namespace kivo
