#include "key_arrivals.h"

#include <poll.h>
#include <algorithm>

namespace kivo::bench {

std::optional<KeyArrivals::Clock::time_point> KeyArrivals::nextPress(KeyCode keycode, Clock::time_point deadline)
{
    while (const std::optional<Arrival> arrival = next(deadline)) {
        if (arrival->pressed && arrival->keycode == keycode) {
            return arrival->at;
        }
    }
    return std::nullopt;
}

std::size_t KeyArrivals::countPresses(KeyCode keycode, Clock::time_point end)
{
    std::size_t count = 0;
    while (nextPress(keycode, end)) {
        ++count;
    }
    return count;
}

bool KeyArrivals::waitForQuiet(std::chrono::milliseconds quiet, Clock::time_point limit)
{
    while (Clock::now() < limit) {
        if (!next(std::min(Clock::now() + quiet, limit))) {
            return Clock::now() < limit;
        }
    }
    return false;
}

std::optional<KeyArrivals::Arrival> KeyArrivals::next(Clock::time_point deadline)
{
    while (arrived_.empty() && Clock::now() < deadline) {
        readConnection(deadline);
    }
    if (arrived_.empty()) {
        return std::nullopt;
    }
    const Arrival arrival = arrived_.front();
    arrived_.pop_front();
    return arrival;
}

// Sleeps in poll rather than spinning, so the receiver does not take the CPU Kivo needs.
void KeyArrivals::readConnection(Clock::time_point deadline)
{
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
    pollfd readable{ConnectionNumber(display_), POLLIN, 0};
    if (XEventsQueued(display_, QueuedAlready) == 0 && poll(&readable, 1, static_cast<int>(left.count())) <= 0) {
        return;
    }
    const Clock::time_point now = Clock::now();
    while (XEventsQueued(display_, QueuedAfterReading) > 0) {
        XEvent event;
        XNextEvent(display_, &event);
        if (event.type == KeyPress || event.type == KeyRelease) {
            arrived_.push_back({event.type == KeyPress, static_cast<KeyCode>(event.xkey.keycode), now});
        }
    }
}

}  // namespace kivo::bench
