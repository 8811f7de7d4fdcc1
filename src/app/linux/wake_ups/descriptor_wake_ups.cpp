#include "app/linux/wake_ups/descriptor_wake_ups.h"

#include <utility>

namespace kivo {

DescriptorWakeUps::DescriptorWakeUps(DescriptorWatch& watch, std::function<void()> announce)
    : watch_(watch), announce_(std::move(announce))
{
    rebind();
}

void DescriptorWakeUps::rebind()
{
    const std::vector<int> wanted = watch_.descriptors();
    while (notifiers_.size() < wanted.size()) {
        QSocketNotifier* notifier =
            notifiers_.emplace_back(std::make_unique<QSocketNotifier>(QSocketNotifier::Read)).get();
        QObject::connect(notifier, &QSocketNotifier::activated,
                         [this, notifier] { readable(static_cast<int>(notifier->socket())); });
    }
    for (std::size_t at = 0; at < notifiers_.size(); ++at) {
        QSocketNotifier& notifier = *notifiers_[at];
        if (at >= wanted.size()) {
            notifier.setEnabled(false);
            continue;
        }
        if (notifier.socket() != wanted[at])
            notifier.setSocket(wanted[at]);
        notifier.setEnabled(true);
    }
}

void DescriptorWakeUps::readable(int descriptor)
{
    const bool announce = watch_.happened(descriptor);
    // A descriptor the watch closed or paused must not wake the loop again.
    rebind();
    if (announce)
        announce_();
}

}  // namespace kivo
