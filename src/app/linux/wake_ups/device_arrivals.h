#pragma once

#include "platform/sdl/device_watch.h"

#include <QSocketNotifier>

#include <filesystem>
#include <functional>

namespace kivo {

// Announces, by calling back from the event loop, device nodes arriving in a folder such as
// /dev/input, as the platform's watch of that folder reports them.
class DeviceArrivals {
public:
    DeviceArrivals(std::filesystem::path folder, std::function<void()> arrived);

    // True while the next arrival will be announced. A watch that ends is announced too, so
    // that whoever sleeps on this asks again.
    bool watching() { return watch_.watching(); }

private:
    InputFolderWatch watch_;
    std::function<void()> arrived_;
    QSocketNotifier notifier_;
};

}  // namespace kivo
