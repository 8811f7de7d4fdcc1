#pragma once

#include "platform/sdl/device_watch.h"

#include <QSocketNotifier>

#include <functional>
#include <memory>
#include <vector>

namespace kivo {

// Binds a platform's watch to Qt's event loop: each descriptor the watch hands up that becomes
// readable goes back to the watch, and `announce` is called when the watch says so.
class DescriptorWakeUps {
public:
    DescriptorWakeUps(DescriptorWatch& watch, std::function<void()> announce);

    // Waits on the descriptors the watch hands up now; called after anything else that may
    // change them.
    void rebind();

private:
    void readable(int descriptor);

    DescriptorWatch& watch_;
    std::function<void()> announce_;
    std::vector<std::unique_ptr<QSocketNotifier>> notifiers_;
};

}  // namespace kivo
