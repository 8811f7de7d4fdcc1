#pragma once

#include "app/linux/wake_ups/descriptor_wake_ups.h"
#include "platform/sdl/device_watch.h"

#include <functional>

namespace kivo {

// Turns SIGTERM, SIGHUP and SIGINT into a call on the GUI thread: the handler only writes a
// byte to a socket, which the event loop reads. One instance at a time; it restores the
// previous handlers when it goes.
class TerminationSignals {
public:
    explicit TerminationSignals(std::function<void()> onSignal);
    ~TerminationSignals();
    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

private:
    // The socket's read end.
    DrainedDescriptor signalled_;
    DescriptorWakeUps wakeUps_;
    bool installed_ = false;
};

}  // namespace kivo
