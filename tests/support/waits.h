#pragma once

#include <chrono>
#include <thread>

namespace kivo::test_support {

// Every wait in the tests gives up after this long: ample for a loaded machine, so that a test
// fails only when what it waits for never happens.
inline constexpr std::chrono::seconds kWaitDeadline{30};
inline constexpr int kWaitDeadlineMs = static_cast<int>(std::chrono::milliseconds(kWaitDeadline).count());
// A check that nothing arrives watches for this long.
inline constexpr std::chrono::milliseconds kQuietSpan{100};
// How soon a wait asks again.
inline constexpr std::chrono::milliseconds kAskingPace{10};

inline void pauseBeforeAsking()
{
    std::this_thread::sleep_for(kAskingPace);
}

// Asks until the answer is yes or the deadline has passed; the last answer. Between questions
// runs `meanwhile`: a pause, or the event loop of a test whose answer comes through it. Only
// what gives up early on purpose, such as ending a process, passes a shorter deadline.
template <typename Happened, typename Meanwhile = void (*)()>
bool waitFor(Happened happened, Meanwhile meanwhile = pauseBeforeAsking,
             std::chrono::milliseconds within = kWaitDeadline)
{
    const auto deadline = std::chrono::steady_clock::now() + within;
    while (!happened()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        meanwhile();
    }
    return true;
}

}  // namespace kivo::test_support
