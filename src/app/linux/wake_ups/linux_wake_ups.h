#pragma once

#include "app/linux/wake_ups/joystick_watch.h"
#include "platform/wake_ups.h"
#include "platform/x11/x11_services.h"

#include <QSocketNotifier>

#include <memory>

namespace kivo {

// Wakes the window for the joystick and, on X11, for the X connection's events, which tell
// which window is in front. Kivo's own window coming to the front wakes the window logic
// directly, through its activation.
class LinuxWakeUps final : public WakeUpSource {
public:
    // On Wayland, where nothing tells of other windows: the joystick alone.
    LinuxWakeUps() = default;
    // On X11: the joystick and the connection's events, which it reads.
    explicit LinuxWakeUps(std::shared_ptr<X11Services> x11);

    // The joystick is watched through this from now on; it is to call wake() on every change.
    void watchJoystick(std::unique_ptr<JoystickWatch> watch) { joystick_ = std::move(watch); }
    void wake();

    bool armForNextChange() override;
    void setListener(WakeUpListener* listener) override { listener_ = listener; }

private:
    std::shared_ptr<X11Services> x11_;
    std::unique_ptr<QSocketNotifier> x11Socket_;
    std::unique_ptr<JoystickWatch> joystick_;
    WakeUpListener* listener_ = nullptr;
};

}  // namespace kivo
