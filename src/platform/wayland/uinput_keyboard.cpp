#include "platform/wayland/wayland_backends.h"

#include "platform/messages.h"

#include <libevdev/libevdev-uinput.h>
#include <libevdev/libevdev.h>
#include <linux/input.h>
#include <unistd.h>

#include <bitset>
#include <cerrno>
#include <cstring>
#include <functional>
#include <memory>
#include <string>

namespace kivo {
namespace {

// Writes one input event of the keyboard; returns 0, or a negative errno.
using EventWriter = std::function<int(unsigned type, unsigned code, int value)>;

// Each key event is its own report, so the compositor sees a press and its release apart.
class EventKeyboard final : public KeySwitch {
public:
    explicit EventKeyboard(EventWriter write) : write_(std::move(write)) {}

    ~EventKeyboard() override
    {
        for (unsigned code = 0; code < down_.size(); ++code) {
            if (down_.test(code)) {
                key(code, false);
            }
        }
    }

    EventKeyboard(const EventKeyboard&) = delete;
    EventKeyboard& operator=(const EventKeyboard&) = delete;

    void key(unsigned code, bool down) override
    {
        if (!isKeyboardKeyCode(code)) {
            return;
        }
        int result = write_(EV_KEY, code, down ? 1 : 0);
        if (result == 0) {
            result = write_(EV_SYN, SYN_REPORT, 0);
        }
        if (result == 0) {
            down_.set(code, down);
        } else if (!failed_) {
            failed_ = true;
            reportProblem(std::string("the virtual keyboard takes no keys: ") + std::strerror(-result));
        }
    }

private:
    EventWriter write_;
    std::bitset<KEY_CNT> down_;
    bool failed_ = false;
};

}  // namespace

std::unique_ptr<KeySwitch> openUinputKeyboard()
{
    libevdev* description = libevdev_new();
    libevdev_set_name(description, "Kivo virtual keyboard");
    libevdev_set_id_bustype(description, BUS_VIRTUAL);
    libevdev_enable_event_type(description, EV_KEY);
    for (unsigned code = 0; code <= KEY_MAX; ++code) {
        if (isKeyboardKeyCode(code)) {
            libevdev_enable_event_code(description, EV_KEY, code, nullptr);
        }
    }
    libevdev_uinput* device = nullptr;
    const int result = libevdev_uinput_create_from_device(description, LIBEVDEV_UINPUT_OPEN_MANAGED, &device);
    libevdev_free(description);
    if (result != 0) {
        reportProblem(std::string("cannot make a virtual keyboard through /dev/uinput: ") + std::strerror(-result));
        return nullptr;
    }
    // Shared with the writer, which a std::function must be able to copy; it goes with the keyboard.
    const std::shared_ptr<libevdev_uinput> owned(device, libevdev_uinput_destroy);
    return std::make_unique<EventKeyboard>([owned](unsigned type, unsigned code, int value) {
        return libevdev_uinput_write_event(owned.get(), type, code, value);
    });
}

std::unique_ptr<KeySwitch> makeDescriptorKeyboard(int descriptor)
{
    return std::make_unique<EventKeyboard>([descriptor](unsigned type, unsigned code, int value) {
        input_event event{};
        event.type = static_cast<std::uint16_t>(type);
        event.code = static_cast<std::uint16_t>(code);
        event.value = value;
        return ::write(descriptor, &event, sizeof event) == static_cast<ssize_t>(sizeof event) ? 0 : -errno;
    });
}

}  // namespace kivo
