#pragma once

#include <windows.h>

#include <atomic>
#include <thread>

namespace kivo {

// Timer1: posts `message` to a window every millisecond while enabled. SetTimer cannot go
// below 10 ms, so a thread of its own waits on a high-resolution waitable timer. It posts only
// when the previous tick has been taken, so a busy window never finds a backlog of ticks, and
// ticks keep coming inside modal loops (a question, a window drag), which dispatch posted
// messages too.
class TickTimer {
public:
    TickTimer(HWND window, UINT message);
    ~TickTimer();
    TickTimer(const TickTimer&) = delete;
    TickTimer& operator=(const TickTimer&) = delete;

    void setEnabled(bool enabled);
    // Called by the window when it takes a tick, so the next one may be posted.
    bool takeTick();

private:
    void run();

    HWND window_;
    UINT message_;
    HANDLE timer_ = nullptr;
    HANDLE stop_ = nullptr;
    bool raisedClockResolution_ = false;
    std::atomic<bool> pending_{false};
    bool enabled_ = false;
    std::thread thread_;
};

}  // namespace kivo
