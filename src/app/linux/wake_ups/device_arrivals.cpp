#include "app/linux/wake_ups/device_arrivals.h"

#include <utility>

namespace kivo {

DeviceArrivals::DeviceArrivals(std::filesystem::path folder, std::function<void()> arrived)
    : watch_(std::move(folder)), arrived_(std::move(arrived)), notifier_(QSocketNotifier::Read)
{
    if (watch_.descriptor() < 0)
        return;
    notifier_.setSocket(watch_.descriptor());
    notifier_.setEnabled(true);
    QObject::connect(&notifier_, &QSocketNotifier::activated, [this] {
        const bool arrived = watch_.readEvents();
        // An ended watch has closed its descriptor, which would otherwise wake the loop forever.
        if (watch_.descriptor() < 0)
            notifier_.setEnabled(false);
        if (arrived)
            arrived_();
    });
}

}  // namespace kivo
