#pragma once

#include "platform/joystick_records.h"

#include <SDL_joystick.h>

namespace kivo {

// SDL's joystick state in the Windows record layouts: axes in 0..65535 with rest near the
// middle, buttons as bits, the hat as a point-of-view angle.
void fillCapabilities(SDL_Joystick* joystick, JOYCAPS& caps);
void fillPosition(SDL_Joystick* joystick, JOYINFOEX& info);

}  // namespace kivo
