#include "platform/sdl/device_watch.h"

#include <sys/inotify.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>
#include <utility>

namespace kivo {
namespace {

constexpr std::uint32_t kNodeChanges = IN_CREATE | IN_ATTRIB | IN_ONLYDIR;
constexpr std::uint32_t kFolderReturns = IN_CREATE | IN_MOVED_TO | IN_ONLYDIR;

}  // namespace

InputFolderWatch::InputFolderWatch(std::filesystem::path folder)
    : folder_(std::move(folder)), inotify_(inotify_init1(IN_NONBLOCK | IN_CLOEXEC))
{
    if (inotify_ < 0)
        return;
    parentWatch_ = inotify_add_watch(inotify_, folder_.parent_path().c_str(), kFolderReturns);
    watchFolder();
}

InputFolderWatch::~InputFolderWatch()
{
    close();
}

bool InputFolderWatch::watching()
{
    if (parentWatch_ < 0)
        return false;
    if (folderWatch_ < 0)
        watchFolder();
    // A folder that is not there yet is announced by the parent's watch when it comes.
    std::error_code missing;
    return folderWatch_ >= 0 || !std::filesystem::exists(folder_, missing);
}

void InputFolderWatch::watchFolder()
{
    folderWatch_ = inotify_add_watch(inotify_, folder_.c_str(), kNodeChanges);
}

bool InputFolderWatch::readEvents()
{
    alignas(inotify_event) char buffer[4096];
    bool announce = false;
    for (;;) {
        const ssize_t count = ::read(inotify_, buffer, sizeof buffer);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0) {
            if (count == 0 || (errno != EAGAIN && errno != EWOULDBLOCK)) {
                close();
                announce = true;
            }
            break;
        }
        for (ssize_t at = 0; at < count;) {
            inotify_event event{};
            std::memcpy(&event, buffer + at, sizeof event);
            const char* name = buffer + at + sizeof event;
            at += static_cast<ssize_t>(sizeof event + event.len);
            if ((event.mask & IN_IGNORED) != 0) {
                // The watched folder was removed (or its file system unmounted).
                if (event.wd == folderWatch_)
                    folderWatch_ = -1;
                if (event.wd == parentWatch_)
                    parentWatch_ = -1;
                announce = true;
            } else if (event.wd == parentWatch_) {
                if (event.len > 0 && folder_.filename() == name) {
                    watchFolder();
                    announce = true;
                }
            } else {
                // A node in the folder, or events lost to an overflowing queue.
                announce = true;
            }
        }
    }
    return announce;
}

void InputFolderWatch::close()
{
    if (inotify_ >= 0)
        ::close(inotify_);
    inotify_ = folderWatch_ = parentWatch_ = -1;
}

DrainedDescriptor::~DrainedDescriptor()
{
    close();
}

void DrainedDescriptor::watch(int descriptor)
{
    close();
    descriptor_ = descriptor;
    paused_ = false;
}

bool DrainedDescriptor::resume()
{
    if (!open())
        return false;
    // After an arrival the ticks run on and ask again; meanwhile they read the device themselves.
    paused_ = drain() || !open();
    return !paused_;
}

std::vector<int> DrainedDescriptor::descriptors() const
{
    if (paused_ || !open())
        return {};
    return {descriptor_};
}

bool DrainedDescriptor::happened(int descriptor)
{
    if (descriptor != descriptor_ || !open())
        return false;
    drain();
    return true;
}

bool DrainedDescriptor::drain()
{
    // Large enough for whole evdev events and any hidraw report.
    char buffer[4096];
    bool arrived = false;
    for (;;) {
        const ssize_t count = ::read(descriptor_, buffer, sizeof buffer);
        arrived = arrived || count > 0;
        if (count > 0 || (count < 0 && errno == EINTR))
            continue;
        if (count == 0 || (errno != EAGAIN && errno != EWOULDBLOCK))
            close();
        return arrived;
    }
}

void DrainedDescriptor::close()
{
    if (descriptor_ >= 0)
        ::close(descriptor_);
    descriptor_ = -1;
}

}  // namespace kivo
