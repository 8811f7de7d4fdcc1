#pragma once

#include <X11/Xlib.h>

#include <chrono>
#include <cstddef>
#include <deque>
#include <optional>

namespace kivo::bench {

// The key events reaching a receiving X client, each stamped with the moment the client
// read it from its connection, as a game would see it.
class KeyArrivals {
public:
    using Clock = std::chrono::steady_clock;

    // Reads the events of a connection whose window selects KeyPress and KeyRelease.
    explicit KeyArrivals(Display* display) : display_(display) {}

    // The arrival of the next KeyPress of the keycode, other events skipped; nothing by the deadline.
    std::optional<Clock::time_point> nextPress(KeyCode keycode, Clock::time_point deadline);
    // How many KeyPresses of the keycode arrive before the moment.
    std::size_t countPresses(KeyCode keycode, Clock::time_point end);
    // Reads until no key event has come for `quiet`; false when they still come at the limit.
    bool waitForQuiet(std::chrono::milliseconds quiet, Clock::time_point limit);

private:
    struct Arrival {
        bool pressed;
        KeyCode keycode;
        Clock::time_point at;
    };

    std::optional<Arrival> next(Clock::time_point deadline);
    void readConnection(Clock::time_point deadline);

    Display* display_;
    std::deque<Arrival> arrived_;
};

}  // namespace kivo::bench
