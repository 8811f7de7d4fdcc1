#include "app/linux/wake_ups/linux_wake_ups.h"

namespace kivo {

LinuxWakeUps::LinuxWakeUps(std::shared_ptr<X11Services> x11) : x11_(std::move(x11))
{
    x11Socket_ = std::make_unique<QSocketNotifier>(x11_->eventSocket(), QSocketNotifier::Read);
    QObject::connect(x11Socket_.get(), &QSocketNotifier::activated, [this] {
        // While the ticks run they read the events themselves.
        x11Socket_->setEnabled(false);
        x11_->readEvents();
        wake();
    });
    x11Socket_->setEnabled(false);
}

void LinuxWakeUps::wake()
{
    if (listener_)
        listener_->wokenUp();
}

// Events already read from the socket would no longer make it readable, so they keep the
// ticks going until a tick has handled them.
bool LinuxWakeUps::armForNextChange()
{
    if (!joystick_ || !joystick_->armForNextChange() || (x11_ && x11_->eventsWaiting()))
        return false;
    if (x11Socket_)
        x11Socket_->setEnabled(true);
    return true;
}

}  // namespace kivo
