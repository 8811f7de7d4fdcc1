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

Drained drainDescriptor(int descriptor)
{
    // Large enough for whole evdev events and any hidraw report.
    char buffer[4096];
    Drained drained;
    for (;;) {
        const ssize_t count = ::read(descriptor, buffer, sizeof buffer);
        drained.arrived = drained.arrived || count > 0;
        if (count > 0 || (count < 0 && errno == EINTR))
            continue;
        // A descriptor that has ended stays readable; left open, it would wake its watcher forever.
        drained.ended = count == 0 || (errno != EAGAIN && errno != EWOULDBLOCK);
        return drained;
    }
}

}  // namespace kivo
