#pragma once

#include <filesystem>
#include <vector>

// What the joystick's watch reads, free of any event loop: each part hands up the descriptors that
// become readable when something happened, and a call that says what.
namespace kivo {

// Something to sleep on. Whoever binds it to an event loop waits on descriptors(), hands each
// one that becomes readable to happened(), and asks descriptors() again after each call here.
class DescriptorWatch {
public:
    virtual ~DescriptorWatch() = default;
    // The descriptors to wait on now.
    virtual std::vector<int> descriptors() const = 0;
    // Reads what happened on a descriptor that became readable; true when it is to be announced.
    virtual bool happened(int descriptor) = 0;
};

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

// A descriptor whose data only says "something happened": each time it is readable,
// everything waiting is read and thrown away, and that is announced. When it ends (the writer
// gone, the device unplugged) it is closed, and that is announced a last time: an ended
// descriptor stays readable and would wake its watcher forever.
class DrainedDescriptor final : public DescriptorWatch {
public:
    DrainedDescriptor() = default;
    ~DrainedDescriptor() override;
    DrainedDescriptor(const DrainedDescriptor&) = delete;
    DrainedDescriptor& operator=(const DrainedDescriptor&) = delete;

    // Watches this non-blocking descriptor from now on, in place of the one before, which is
    // closed. Takes ownership; a negative descriptor watches nothing.
    void watch(int descriptor);
    bool open() const { return descriptor_ >= 0; }

    // Stops handing up the descriptor for now: what arrives waits in it.
    void pause() { paused_ = true; }
    // Hands it up again, throwing away what arrived while paused. False, and still paused, when
    // something did arrive, which its reader may not have seen yet, or when the descriptor has
    // ended (it is then closed) or there is none: nothing would announce those.
    bool resume();

    std::vector<int> descriptors() const override;
    bool happened(int descriptor) override;

private:
    // Reads everything waiting; true when there was something.
    bool drain();
    void close();

    int descriptor_ = -1;
    bool paused_ = false;
};

}  // namespace kivo
