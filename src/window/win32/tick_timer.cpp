#include "window/win32/tick_timer.h"

#include "window/design.h"
#include "window/win32/message_loop.h"

#include <mmsystem.h>

namespace kivo {
namespace {

// Defined from Windows 10 1803 on; older headers may lack it.
constexpr DWORD kHighResolutionTimer = 0x00000002;
// Waitable-timer due times are in units of 100 ns; negative means relative to now.
constexpr LONGLONG kHundredNanosecondsPerMs = 10000;

}  // namespace

TickTimer::TickTimer(HWND window, UINT message) : window_(window), message_(message)
{
    timer_ = CreateWaitableTimerExW(nullptr, nullptr, kHighResolutionTimer, TIMER_ALL_ACCESS);
    if (timer_ == nullptr) {
        // Before high-resolution timers, a waitable timer is as fine as the system clock.
        raisedClockResolution_ = timeBeginPeriod(1) == TIMERR_NOERROR;
        timer_ = CreateWaitableTimerW(nullptr, FALSE, nullptr);
    }
    if (timer_ == nullptr) {
        failToStart("Timer1's waitable timer");
        return;
    }
    stop_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    thread_ = std::thread([this] { run(); });
}

TickTimer::~TickTimer()
{
    if (thread_.joinable()) {
        SetEvent(stop_);
        thread_.join();
    }
    CancelWaitableTimer(timer_);
    CloseHandle(timer_);
    CloseHandle(stop_);
    if (raisedClockResolution_)
        timeEndPeriod(1);
}

void TickTimer::setEnabled(bool enabled)
{
    if (enabled == enabled_)
        return;
    enabled_ = enabled;
    if (!enabled) {
        CancelWaitableTimer(timer_);
        return;
    }
    LARGE_INTEGER due;
    due.QuadPart = -design::kTimerIntervalMs * kHundredNanosecondsPerMs;
    SetWaitableTimer(timer_, &due, design::kTimerIntervalMs, nullptr, nullptr, FALSE);
}

bool TickTimer::takeTick()
{
    pending_ = false;
    // A tick posted just before the timer was stopped is dropped.
    return enabled_;
}

void TickTimer::run()
{
    // Ticks are the program's work; they should not wait behind other threads of the desktop.
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_HIGHEST);
    const HANDLE waits[] = {stop_, timer_};
    DWORD woken = WAIT_FAILED;
    while ((woken = WaitForMultipleObjects(2, waits, FALSE, INFINITE)) == WAIT_OBJECT_0 + 1) {
        if (!pending_.exchange(true) && !PostMessageW(window_, message_, 0, 0))
            pending_ = false;
    }
    if (woken == WAIT_OBJECT_0)
        return;
    // Without ticks Kivo does nothing; closing the window saves what the user assigned.
    reportWindowsFailure("Timer1 stopped");
    PostMessageW(window_, WM_CLOSE, 0, 0);
}

}  // namespace kivo
