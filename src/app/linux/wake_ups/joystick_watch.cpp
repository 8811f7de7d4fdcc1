#include "app/linux/wake_ups/joystick_watch.h"

#include "app/linux/wake_ups/device_arrivals.h"
#include "app/linux/wake_ups/drained_descriptor.h"

#include <fcntl.h>
#include <unistd.h>
#include <chrono>
#include <string>
#include <utility>

namespace kivo {
namespace {

using Clock = std::chrono::steady_clock;

// A new node appears before udev has given it its permissions and before SDL hears of it; the
// ticks go on polling until SDL has had the time to open it.
constexpr auto kArrivalSettling = std::chrono::seconds(3);

class NodeWatch final : public JoystickWatch {
public:
    NodeWatch(const SdlJoystick& joystick, std::function<void()> changed, std::filesystem::path inputDevices)
        : joystick_(joystick),
          node_([this, changed] {
              node_.pause();
              changed();
          }),
          arrivals_(std::move(inputDevices), [this, changed] {
              lastArrival_ = Clock::now();
              changed();
          })
    {
    }

    bool armForNextChange() override
    {
        const JoystickNode joystick = joystick_.node();
        if (!joystick.open) {
            path_.clear();
            node_.watch(-1);
            return arrivals_.watching() && Clock::now() - lastArrival_ >= kArrivalSettling;
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
    DeviceArrivals arrivals_;
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

    bool armForNextChange() override { return activity_.resume(); }

private:
    DrainedDescriptor activity_;
};

}  // namespace

std::unique_ptr<JoystickWatch> watchJoystickNode(const SdlJoystick& joystick, std::function<void()> changed,
                                                 std::filesystem::path inputDevices)
{
    return std::make_unique<NodeWatch>(joystick, std::move(changed), std::move(inputDevices));
}

std::unique_ptr<JoystickWatch> watchJoystickActivity(int descriptor, std::function<void()> changed)
{
    return std::make_unique<ActivityWatch>(descriptor, std::move(changed));
}

}  // namespace kivo
