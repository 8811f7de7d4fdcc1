#pragma once

#include <chrono>
#include <thread>

namespace kivo::test_support {

// Every wait in the end-to-end tests gives up after this long: ample for a loaded machine, so
// that a test fails only when what it waits for never happens.
inline constexpr std::chrono::seconds kWaitDeadline{30};
// A check that nothing arrives watches for this long.
inline constexpr std::chrono::milliseconds kQuietSpan{100};

// Asks until the answer is yes or the deadline has passed; the last answer.
template <typename Happened>
bool waitFor(Happened happened)
{
    const auto deadline = std::chrono::steady_clock::now() + kWaitDeadline;
    while (!happened()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));  // the pace of asking again
    }
    return true;
}

}  // namespace kivo::test_support
