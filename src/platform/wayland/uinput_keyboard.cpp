#include "platform/wayland/wayland_backends.h"

#include "platform/messages.h"

#include <libevdev/libevdev-uinput.h>
#include <libevdev/libevdev.h>
#include <linux/input.h>
#include <unistd.h>

#include <bitset>
#include <cerrno>
#include <cstring>
#include <string>

namespace kivo {
namespace {

// Where the keyboard's input events go; returns 0, or a negative errno.
class EventWriter {
public:
    virtual ~EventWriter() = default;
    virtual int write(unsigned type, unsigned code, int value) = 0;
};

class UinputWriter final : public EventWriter {
public:
    explicit UinputWriter(libevdev_uinput* device) : device_(device) {}
    ~UinputWriter() override { libevdev_uinput_destroy(device_); }
    UinputWriter(const UinputWriter&) = delete;
    UinputWriter& operator=(const UinputWriter&) = delete;

    int write(unsigned type, unsigned code, int value) override
    {
        return libevdev_uinput_write_event(device_, type, code, value);
    }

private:
    libevdev_uinput* device_;
};

class DescriptorWriter final : public EventWriter {
public:
    explicit DescriptorWriter(int descriptor) : descriptor_(descriptor) {}

    int write(unsigned type, unsigned code, int value) override
    {
        input_event event{};
        event.type = static_cast<std::uint16_t>(type);
        event.code = static_cast<std::uint16_t>(code);
        event.value = value;
        return ::write(descriptor_, &event, sizeof event) == static_cast<ssize_t>(sizeof event) ? 0 : -errno;
    }

private:
    int descriptor_;
};

// Each key event is its own report, so the compositor sees a press and its release apart.
class EventKeyboard final : public KeySwitch {
public:
    explicit EventKeyboard(std::unique_ptr<EventWriter> writer) : writer_(std::move(writer)) {}

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
        int result = writer_->write(EV_KEY, code, down ? 1 : 0);
        if (result == 0) {
            result = writer_->write(EV_SYN, SYN_REPORT, 0);
        }
        if (result == 0) {
            down_.set(code, down);
        } else if (!failed_) {
            failed_ = true;
            reportProblem(std::string("the virtual keyboard takes no keys: ") + std::strerror(-result));
        }
    }

private:
    std::unique_ptr<EventWriter> writer_;
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
    return std::make_unique<EventKeyboard>(std::make_unique<UinputWriter>(device));
}

std::unique_ptr<KeySwitch> makeDescriptorKeyboard(int descriptor)
{
    return std::make_unique<EventKeyboard>(std::make_unique<DescriptorWriter>(descriptor));
}

}  // namespace kivo
