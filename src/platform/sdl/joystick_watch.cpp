#include "platform/sdl/joystick_watch.h"

#include <fcntl.h>
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
    NodeWatch(const SdlJoystick& joystick, std::filesystem::path inputDevices)
        : joystick_(joystick), arrivals_(std::move(inputDevices))
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

    std::vector<int> descriptors() const override
    {
        // Arrivals are always announced: they end the settling that keeps the ticks polling.
        std::vector<int> waits = node_.descriptors();
        if (arrivals_.descriptor() >= 0)
            waits.push_back(arrivals_.descriptor());
        return waits;
    }

    bool happened(int descriptor) override
    {
        if (descriptor >= 0 && descriptor == arrivals_.descriptor()) {
            if (!arrivals_.readEvents())
                return false;
            lastArrival_ = Clock::now();
            return true;
        }
        if (!node_.happened(descriptor))
            return false;
        node_.pause();
        return true;
    }

private:
    const SdlJoystick& joystick_;
    std::string path_;
    DrainedDescriptor node_;
    InputFolderWatch arrivals_;
    Clock::time_point lastArrival_ = Clock::now() - kArrivalSettling;
};

class ActivityWatch final : public JoystickWatch {
public:
    explicit ActivityWatch(int descriptor) { activity_.watch(descriptor); }

    bool armForNextChange() override { return activity_.resume(); }
    std::vector<int> descriptors() const override { return activity_.descriptors(); }

    bool happened(int descriptor) override
    {
        if (!activity_.happened(descriptor))
            return false;
        activity_.pause();
        return true;
    }

private:
    DrainedDescriptor activity_;
};

}  // namespace

std::unique_ptr<JoystickWatch> watchJoystickNode(const SdlJoystick& joystick, std::filesystem::path inputDevices)
{
    return std::make_unique<NodeWatch>(joystick, std::move(inputDevices));
}

std::unique_ptr<JoystickWatch> watchJoystickActivity(int descriptor)
{
    return std::make_unique<ActivityWatch>(descriptor);
}

}  // namespace kivo
