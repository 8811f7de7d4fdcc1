#pragma once

#include <QSocketNotifier>

#include <filesystem>
#include <functional>

namespace kivo {

// Announces, by calling back, device nodes arriving in a folder such as /dev/input. devtmpfs
// removes that folder once it is empty and makes it again for the next device, so the folder's
// own return is watched for as well, and announced as an arrival.
class DeviceArrivals {
public:
    DeviceArrivals(std::filesystem::path folder, std::function<void()> arrived);
    ~DeviceArrivals();
    DeviceArrivals(const DeviceArrivals&) = delete;
    DeviceArrivals& operator=(const DeviceArrivals&) = delete;

    // True while the next arrival will be announced. A watch that ends is announced too, so
    // that whoever sleeps on this asks again.
    bool watching();

private:
    void readEvents();
    void watchFolder();
    void close();

    std::filesystem::path folder_;
    std::function<void()> arrived_;
    int inotify_ = -1;
    int folderWatch_ = -1;
    int parentWatch_ = -1;
    QSocketNotifier notifier_;
};

}  // namespace kivo
