#include "platform/sdl/sdl_records.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

namespace kivo {
namespace {

constexpr int kMaxButtons = 32;
constexpr int kMaxAxes = 6;
constexpr std::uint32_t kAxisMax = 65535;
constexpr std::uint32_t kPovCentered = 65535;

std::uint32_t windowsAxis(Sint16 value)
{
    return static_cast<std::uint32_t>(value + 32768);
}

// Hundredths of a degree clockwise from forward, as the Windows records hold them.
std::uint32_t pointOfView(Uint8 hat)
{
    switch (hat) {
        case SDL_HAT_UP:
            return 0;
        case SDL_HAT_RIGHTUP:
            return 4500;
        case SDL_HAT_RIGHT:
            return 9000;
        case SDL_HAT_RIGHTDOWN:
            return 13500;
        case SDL_HAT_DOWN:
            return 18000;
        case SDL_HAT_LEFTDOWN:
            return 22500;
        case SDL_HAT_LEFT:
            return 27000;
        case SDL_HAT_LEFTUP:
            return 31500;
        default:
            return kPovCentered;
    }
}

struct DpadButton {
    SDL_GameControllerButton button;
    Uint8 direction;
};
constexpr std::array<DpadButton, 4> kDpadButtons{{{SDL_CONTROLLER_BUTTON_DPAD_UP, SDL_HAT_UP},
                                                  {SDL_CONTROLLER_BUTTON_DPAD_DOWN, SDL_HAT_DOWN},
                                                  {SDL_CONTROLLER_BUTTON_DPAD_LEFT, SDL_HAT_LEFT},
                                                  {SDL_CONTROLLER_BUTTON_DPAD_RIGHT, SDL_HAT_RIGHT}}};

// The D-pad as SDL's mapping reads it, from buttons, a hat or axes. Buttons bound to it are the
// D-pad's, so they leave the buttons: pressing the D-pad types no assigned key.
Uint8 dpadOfController(SDL_GameController* controller, std::uint32_t& pressed)
{
    Uint8 hat = SDL_HAT_CENTERED;
    for (const auto& [button, direction] : kDpadButtons) {
        if (SDL_GameControllerGetButton(controller, button) != 0)
            hat |= direction;
        const SDL_GameControllerButtonBind bind = SDL_GameControllerGetBindForButton(controller, button);
        if (bind.bindType == SDL_CONTROLLER_BINDTYPE_BUTTON && bind.value.button >= 0 &&
            bind.value.button < kMaxButtons)
            pressed &= ~(1U << bind.value.button);
    }
    return hat;
}

}  // namespace

void fillCapabilities(SDL_Joystick* joystick, JOYCAPS& caps)
{
    if (const char* name = SDL_JoystickName(joystick)) {
        std::strncpy(caps.szPname, name, sizeof caps.szPname - 1);
    }
    for (std::uint32_t* max : {&caps.wXmax, &caps.wYmax, &caps.wZmax, &caps.wRmax, &caps.wUmax, &caps.wVmax}) {
        *max = kAxisMax;
    }
    // Only 32 buttons fit the position record's bits, so more are never reported.
    caps.wNumButtons = static_cast<std::uint32_t>(std::clamp(SDL_JoystickNumButtons(joystick), 0, kMaxButtons));
    caps.wMaxButtons = kMaxButtons;
    caps.wNumAxes = static_cast<std::uint32_t>(std::clamp(SDL_JoystickNumAxes(joystick), 0, kMaxAxes));
    caps.wMaxAxes = kMaxAxes;
}

void fillPosition(SDL_Joystick* joystick, SDL_GameController* controller, JOYINFOEX& info)
{
    const std::array<std::uint32_t*, kMaxAxes> axes{&info.dwXpos, &info.dwYpos, &info.dwZpos,
                                                    &info.dwRpos, &info.dwUpos, &info.dwVpos};
    const int present = SDL_JoystickNumAxes(joystick);
    for (int axis = 0; axis < kMaxAxes; ++axis) {
        // An axis the device lacks stays at rest.
        const Sint16 value = axis < present ? SDL_JoystickGetAxis(joystick, axis) : 0;
        *axes[static_cast<std::size_t>(axis)] = windowsAxis(value);
    }
    std::uint32_t pressed = 0;
    const int buttons = std::min(SDL_JoystickNumButtons(joystick), kMaxButtons);
    for (int button = 0; button < buttons; ++button) {
        if (SDL_JoystickGetButton(joystick, button) != 0) {
            pressed |= 1U << button;
        }
    }
    Uint8 dpad = SDL_HAT_CENTERED;
    if (SDL_JoystickNumHats(joystick) > 0) {
        dpad = SDL_JoystickGetHat(joystick, 0);
    } else if (controller != nullptr) {
        dpad = dpadOfController(controller, pressed);
    }
    info.dwButtons = pressed;
    // The lowest button held, counted from 1.
    info.dwButtonNumber = pressed != 0 ? static_cast<std::uint32_t>(std::countr_zero(pressed) + 1) : 0;
    info.dwPOV = pointOfView(dpad);
}

}  // namespace kivo
