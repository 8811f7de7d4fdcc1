#include "app/linux/joystick_watch.h"

#include "app/linux/drained_descriptor.h"

#include <fcntl.h>
#include <sys/inotify.h>
#include <unistd.h>
#include <chrono>
#include <string>
#include <utility>

namespace kivo {
namespace {

using Clock = std::chrono::steady_clock;

constexpr const char* kInputDevices = "/dev/input";
// A new node appears before udev has given it its permissions and before SDL hears of it; the
// ticks go on polling until SDL has had the time to open it.
constexpr auto kArrivalSettling = std::chrono::seconds(3);

int watchInputDevices()
{
    const int inotify = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (inotify >= 0 && inotify_add_watch(inotify, kInputDevices, IN_CREATE | IN_ATTRIB) < 0) {
        close(inotify);
        return -1;
    }
    return inotify;
}

class NodeWatch final : public JoystickWatch {
public:
    NodeWatch(const SdlJoystick& joystick, std::function<void()> changed)
        : joystick_(joystick),
          node_([this, changed] {
              node_.pause();
              changed();
          }),
          arrivals_([this, changed] {
              lastArrival_ = Clock::now();
              changed();
          })
    {
        arrivals_.watch(watchInputDevices());
    }

    bool watchingEverything() override
    {
        const JoystickNode joystick = joystick_.node();
        if (!joystick.open) {
            path_.clear();
            node_.watch(-1);
            return arrivals_.open() && Clock::now() - lastArrival_ >= kArrivalSettling;
        }
        if (joystick.path.empty())
            return false;
        // A node that ended (unplugged) is tried again until SDL, too, has let the joystick go.
        if (joystick.path != path_ || !node_.open()) {
            path_ = joystick.path;
            node_.watch(open(path_.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
        }
        return node_.resume();
    }

private:
    const SdlJoystick& joystick_;
    std::string path_;
    DrainedDescriptor node_;
    DrainedDescriptor arrivals_;
    Clock::time_point lastArrival_ = Clock::now() - kArrivalSettling;
};

class ActivityWatch final : public JoystickWatch {
public:
    ActivityWatch(int descriptor, std::function<void()> changed)
        : activity_([this, changed = std::move(changed)] {
              activity_.pause();
              changed();
          })
    {
        activity_.watch(descriptor);
    }

    bool watchingEverything() override { return activity_.resume(); }

private:
    DrainedDescriptor activity_;
};

}  // namespace

std::unique_ptr<JoystickWatch> watchJoystickNode(const SdlJoystick& joystick, std::function<void()> changed)
{
    return std::make_unique<NodeWatch>(joystick, std::move(changed));
}

std::unique_ptr<JoystickWatch> watchJoystickActivity(int descriptor, std::function<void()> changed)
{
    return std::make_unique<ActivityWatch>(descriptor, std::move(changed));
}

}  // namespace kivo
