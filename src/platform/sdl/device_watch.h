#pragma once

#include <filesystem>

// What the joystick's watch reads, free of any event loop: each part hands up a descriptor that
// becomes readable when something happened, and a call that says what.
namespace kivo {

// Watches a folder such as /dev/input for device nodes arriving, through a descriptor that
// becomes readable when something happened there; whoever waits on it asks readEvents() what.
// devtmpfs removes that folder once it is empty and makes it again for the next device, so the
// folder's own return is watched for as well, and counts as an arrival.
class InputFolderWatch {
public:
    explicit InputFolderWatch(std::filesystem::path folder);
    ~InputFolderWatch();
    InputFolderWatch(const InputFolderWatch&) = delete;
    InputFolderWatch& operator=(const InputFolderWatch&) = delete;

    // Negative once the watch has ended.
    int descriptor() const { return inotify_; }
    // Reads what happened; true when a device may have arrived, or the watch ended (then closed),
    // so that whoever sleeps on it asks again.
    bool readEvents();
    // True while the next arrival will make the descriptor readable.
    bool watching();

private:
    void watchFolder();
    void close();

    std::filesystem::path folder_;
    int inotify_ = -1;
    int folderWatch_ = -1;
    int parentWatch_ = -1;
};

// What reading everything waiting in a non-blocking descriptor found: whether anything came,
// and whether the descriptor has ended (the writer gone, the device unplugged).
struct Drained {
    bool arrived = false;
    bool ended = false;
};
Drained drainDescriptor(int descriptor);

}  // namespace kivo
