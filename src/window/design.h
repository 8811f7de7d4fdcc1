#pragma once

#include "kivo_version.h"

namespace kivo {

// The main window as designed, in twips. Every toolkit builds the window from these values.
struct TwipsRect {
    float left = 0;
    float top = 0;
    float width = 0;
    float height = 0;

    friend bool operator==(const TwipsRect&, const TwipsRect&) = default;
};

namespace design {

inline constexpr float kClientWidth = 4560;
inline constexpr float kClientHeight = 6285;
// The outer size is the client size plus this fixed allowance, whatever the window manager
// draws, so the layout comes out the same everywhere.
inline constexpr float kFrameLeft = 45;
inline constexpr float kFrameRight = 45;
inline constexpr float kFrameTop = 330;
inline constexpr float kFrameBottom = 45;
inline constexpr float kOuterWidth = kFrameLeft + kClientWidth + kFrameRight;
inline constexpr float kOuterHeight = kFrameTop + kClientHeight + kFrameBottom;
// The width of the client area inside an outer width; the height is always kClientHeight.
constexpr float clientWidth(float outerWidth)
{
    return outerWidth - kFrameLeft - kFrameRight;
}
// Below this outer width the window is not narrowed any further, so its title stays readable.
inline constexpr float kMinimumOuterWidth = 2040;

inline constexpr const char* kTitle = "Kivo v" KIVO_VERSION;
// The title while no joystick answers, where the taskbar and the window switcher show it too.
inline constexpr const char* kTitleWithoutJoystick = "Kivo v" KIVO_VERSION " - no joystick";
inline constexpr const char* kProgramName = "Kivo";

// Element 0 of the button labels, the template of every other element.
inline constexpr TwipsRect kButtonLabel0{120, 2280, 1935, 255};
inline constexpr const char* kButtonLabel0Caption = "Button 1:";
inline constexpr TwipsRect kLabel1{120, 1200, 3135, 375};
inline constexpr const char* kLabel1Caption = "JoyStick Button Settings:";
inline constexpr TwipsRect kCommand1{120, 120, 1215, 495};
inline constexpr const char* kCommand1Caption = "Quit";
// The focus sink, beyond the right edge of the client area.
inline constexpr TwipsRect kCommand3{6000, 120, 135, 195};
inline constexpr const char* kCommand3Caption = "Command3";
inline constexpr TwipsRect kCommand4{1560, 120, 1335, 495};
inline constexpr const char* kCommand4Caption = "Clear";
// The held-keys switch, in the free row between the buttons and Label1, so that nothing moves.
inline constexpr TwipsRect kCheck1{120, 675, 4215, 480};
inline constexpr const char* kCheck1Caption =
    "Hold keys down as a keyboard does\n(if the player moves slowly or stutters)";
inline constexpr TwipsRect kLabel2{120, 1560, 4215, 495};
inline constexpr const char* kLabel2Caption =
    "(Press JoyStick button and then press key to assign - Kivo must be running whilst the game is being played)";

inline constexpr const char* kQuitQuestion = "Are you sure you want to quit?";
inline constexpr const char* kClearQuestion = "Are you sure you want to clear all settings?";

// The desktop's notifications while no joystick answers.
inline constexpr const char* kNoJoystickSummary = "No joystick found";
inline constexpr const char* kNoJoystickBody =
    "Kivo's window stays narrow until a joystick is plugged in; it is taken up at once and gets a "
    "label per button. If one is plugged in, kivo --list says which joysticks Kivo can read.";
inline constexpr const char* kJoystickGoneSummary = "The joystick went away";
inline constexpr const char* kJoystickGoneBody =
    "Kivo types no keys until a joystick is plugged in again; it is taken up at once.";

inline constexpr int kTimerIntervalMs = 1;
inline constexpr float kFontPointSize = 8.25f;
inline constexpr const char* kFontFamily = "MS Sans Serif";

// Colours as 0xRRGGBB.
inline constexpr unsigned kFormBackground = 0xC0C0C0;
inline constexpr unsigned kButtonLabelBackground = 0x000000;
inline constexpr unsigned kButtonLabelText = 0x00C000;

}  // namespace design
}  // namespace kivo
