#pragma once

#include <QSocketNotifier>

#include <functional>

namespace kivo {

// A descriptor whose data only says "something happened": whenever it becomes readable, the
// event loop reads everything waiting, throws it away and calls `changed`. When it ends (the
// writer gone, the device unplugged) it is closed, and `changed` is called a last time.
class DrainedDescriptor {
public:
    explicit DrainedDescriptor(std::function<void()> changed);
    ~DrainedDescriptor();
    DrainedDescriptor(const DrainedDescriptor&) = delete;
    DrainedDescriptor& operator=(const DrainedDescriptor&) = delete;

    // Watches this non-blocking descriptor from now on, in place of the one before, which is
    // closed. Takes ownership; a negative descriptor watches nothing.
    void watch(int descriptor);
    bool open() const { return descriptor_ >= 0; }

    // Stops watching for now: what arrives waits in the descriptor, and the event loop is not
    // woken for it.
    void pause();
    // Watches again, throwing away what arrived while paused. False, and still paused, when
    // something did arrive, which its reader may not have seen yet, or when the descriptor has
    // ended (it is then closed) or there is none: nothing would announce those.
    bool resume();

private:
    void drainAndAnnounce();
    // Reads everything waiting; true when there was something.
    bool drain();
    void close();

    int descriptor_ = -1;
    std::function<void()> changed_;
    QSocketNotifier notifier_;
};

}  // namespace kivo
