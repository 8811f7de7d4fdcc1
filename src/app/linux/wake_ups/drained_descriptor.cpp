#include "app/linux/wake_ups/drained_descriptor.h"

#include <unistd.h>
#include <cerrno>
#include <utility>

namespace kivo {

DrainedDescriptor::DrainedDescriptor(std::function<void()> changed)
    : changed_(std::move(changed)), notifier_(QSocketNotifier::Read)
{
    QObject::connect(&notifier_, &QSocketNotifier::activated, [this] { drainAndAnnounce(); });
}

DrainedDescriptor::~DrainedDescriptor()
{
    close();
}

void DrainedDescriptor::watch(int descriptor)
{
    close();
    if (descriptor < 0)
        return;
    descriptor_ = descriptor;
    notifier_.setSocket(descriptor);
    notifier_.setEnabled(true);
}

void DrainedDescriptor::pause()
{
    notifier_.setEnabled(false);
}

bool DrainedDescriptor::resume()
{
    if (!open())
        return false;
    // After an arrival the ticks run on and ask again; meanwhile they read the device themselves.
    const bool watching = !drain() && open();
    notifier_.setEnabled(watching);
    return watching;
}

void DrainedDescriptor::drainAndAnnounce()
{
    drain();
    changed_();
}

bool DrainedDescriptor::drain()
{
    // Large enough for whole evdev events and any hidraw report.
    char buffer[4096];
    bool arrived = false;
    for (;;) {
        const ssize_t count = ::read(descriptor_, buffer, sizeof buffer);
        arrived = arrived || count > 0;
        if (count > 0 || (count < 0 && errno == EINTR))
            continue;
        // A descriptor that has ended stays readable; left open, it would wake the loop forever.
        if (count == 0 || (errno != EAGAIN && errno != EWOULDBLOCK))
            close();
        return arrived;
    }
}

void DrainedDescriptor::close()
{
    if (descriptor_ < 0)
        return;
    notifier_.setEnabled(false);
    ::close(descriptor_);
    descriptor_ = -1;
}

}  // namespace kivo
