#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace kivo::e2e {

// The host's command line: --buttons N [--rest X Y] [--unwatched].
struct HostOptions {
    int buttons = 0;
    std::uint32_t restX = 32767;
    std::uint32_t restY = 32767;
    // False with --unwatched: the joystick announces no change, as one that raw input does not
    // report or that has no device node, and Kivo has to poll it.
    bool watched = true;
};

// Says what is wrong and exits with status 2 when the command line is not one the host takes.
HostOptions readHostOptions(int argc, char** argv);

// One line a script sends to the host: "axes X Y" (raw 0..65535), "press B", "release B"
// (B from 1), "labels" to have the host print every label's bold flag and caption, then
// "front 1" when Kivo's window is in front ("front 0" when not), "unplug" to detach the
// virtual joystick, or "plug" to attach it again, at rest with no button down; "pov P" holds the
// D-pad at point of view P (hundredths of a degree clockwise from up, 65535 its centre).
struct HostCommand {
    enum class Kind { Axes, Press, Release, Labels, Unplug, Plug, Pov } kind;
    std::uint32_t x = 0;
    std::uint32_t y = 0;
    std::uint32_t pov = 0;
    int button = 0;
};

// nullopt, with the reason in `error`, for a line that is not a command for `buttons` buttons.
std::optional<HostCommand> parseHostCommand(std::string_view line, int buttons, std::string& error);

// What a host does for the commands: its joystick, and the labels of its window.
struct HostActions {
    std::function<void(std::uint32_t x, std::uint32_t y)> moveTo;
    std::function<void(int button, bool down)> setButton;
    std::function<void(std::uint32_t pov)> pointDpad;
    std::function<void(bool plugged)> setPlugged;
    std::function<void()> printLabels;
    // After every command but "labels": the joystick changed.
    std::function<void()> changed;
};

// Carries out line on the host; says on standard error what is wrong with a line that is no
// command for `buttons` buttons.
void runHostCommand(std::string_view line, int buttons, const HostActions& host);

// Raw joystick units (0..65535, rest near 32767) as an SDL axis value.
std::int16_t sdlAxisFromRaw(std::uint32_t raw);

}  // namespace kivo::e2e
