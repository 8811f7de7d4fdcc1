#include "bare_loop.h"

#include <sys/prctl.h>
#include <ctime>

namespace kivo::bench {
namespace {

constexpr long kNanosecondsPerSecond = 1'000'000'000;
constexpr long kMillisecond = 1'000'000;

double seconds(const timespec& time)
{
    return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_nsec) / kNanosecondsPerSecond;
}

void addMillisecond(timespec& time)
{
    time.tv_nsec += kMillisecond;
    if (time.tv_nsec >= kNanosecondsPerSecond) {
        time.tv_nsec -= kNanosecondsPerSecond;
        ++time.tv_sec;
    }
}

}  // namespace

BareLoopCost measureBareLoop(std::chrono::seconds window)
{
    // The timer slack Kivo runs with, so both wake as punctually.
    prctl(PR_SET_TIMERSLACK, 1UL);
    timespec cpuStart{};
    timespec start{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &cpuStart);
    clock_gettime(CLOCK_MONOTONIC, &start);
    const double end = seconds(start) + static_cast<double>(window.count());
    timespec due = start;
    long wakeUps = 0;
    for (timespec now = start; seconds(now) < end; clock_gettime(CLOCK_MONOTONIC, &now)) {
        addMillisecond(due);
        clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &due, nullptr);
        ++wakeUps;
    }
    timespec cpuEnd{};
    timespec finish{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &cpuEnd);
    clock_gettime(CLOCK_MONOTONIC, &finish);
    const double elapsed = seconds(finish) - seconds(start);
    return {100 * (seconds(cpuEnd) - seconds(cpuStart)) / elapsed, static_cast<double>(wakeUps) / elapsed};
}

}  // namespace kivo::bench
