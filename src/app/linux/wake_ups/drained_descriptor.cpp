#include "app/linux/wake_ups/drained_descriptor.h"

#include "platform/sdl/device_watch.h"

#include <unistd.h>
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
    const Drained drained = drainDescriptor(descriptor_);
    if (drained.ended)
        close();
    return drained.arrived;
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
