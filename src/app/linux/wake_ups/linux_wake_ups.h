#pragma once

#include "app/linux/wake_ups/joystick_watch.h"
#include "platform/wake_ups.h"
#include "platform/x11/x11_services.h"

#include <QSocketNotifier>

#include <memory>

namespace kivo {

// Wakes the window for the joystick and for what tells which window is in front: Kivo's own
// window coming to the front must start the ticks. On X11 that is the X connection's events;
// without one, whoever hears the window's activation change calls wake().
class LinuxWakeUps final : public WakeUpSource {
public:
    explicit LinuxWakeUps(X11Services* x11);

    // The joystick is watched through this from now on; it is to call wake() on every change.
    void watchJoystick(std::unique_ptr<JoystickWatch> watch) { joystick_ = std::move(watch); }
    void wake();

    bool armForNextChange() override;
    void setListener(WakeUpListener* listener) override { listener_ = listener; }

private:
    X11Services* x11_;
    std::unique_ptr<QSocketNotifier> x11Socket_;
    std::unique_ptr<JoystickWatch> joystick_;
    WakeUpListener* listener_ = nullptr;
};

}  // namespace kivo
