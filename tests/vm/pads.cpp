// Real pads for the tests in the virtual machine, each made as the kernel meets it: a DualShock 4
// (hid-sony makes the pad, its motion sensors and its touchpad) and a plain USB gamepad with a hat
// (hid-generic) through /dev/uhid from their HID report descriptors; through uinput, the evdev
// shape of an Xbox 360 pad (xpad is USB-only) and a keyboard with a joystick interface but no
// joystick button. Driven line by line from standard input with the end-to-end host's commands
// ("press B", "release B", "axes X Y" for the left stick, "pov P" for the D-pad, "unplug").
// Once the kernel has made every device of the pad, at rest, prints "node PATH NAME" for each,
// in the order of their nodes, after opening them to everybody as a udev rule could.
//   kivo-test-pad ds4|usb-gamepad|xbox360|dpad-buttons|keyboard-joystick
#include "e2e/host_commands.h"
#include "pad_descriptors.h"

#include <fcntl.h>
#include <libevdev/libevdev-uinput.h>
#include <libevdev/libevdev.h>
#include <linux/uhid.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <span>
#include <string>
#include <vector>

namespace {

using kivo::e2e::HostCommand;

constexpr std::uint8_t kHatCentred = 8;
constexpr std::uint32_t kFullTurn = 36000;
constexpr std::uint32_t kEighthTurn = 4500;

// The D-pad as a HID hat: 0 up, clockwise in eighths, 8 (out of range) at the centre.
std::uint8_t hatFromPov(std::uint32_t pov)
{
    return pov >= kFullTurn ? kHatCentred : static_cast<std::uint8_t>((pov + kEighthTurn / 2) / kEighthTurn % 8);
}

// The D-pad as evdev's hat axes, from a HID hat.
std::pair<int, int> hatAxes(std::uint8_t hat)
{
    static constexpr std::array<std::pair<int, int>, 8> kAxes{
        {{0, -1}, {1, -1}, {1, 0}, {1, 1}, {0, 1}, {-1, 1}, {-1, 0}, {-1, -1}}};
    return hat < kAxes.size() ? kAxes[hat] : std::pair{0, 0};
}

// What the pad's controls are set to.
struct Controls {
    std::uint8_t x = 0x80;
    std::uint8_t y = 0x80;
    std::uint8_t hat = kHatCentred;
    std::uint32_t buttons = 0;
};

class Pad {
public:
    virtual ~Pad() = default;
    // Reports the controls to the kernel, as the pad's next report.
    virtual void show(const Controls& controls) = 0;
    // Answers the kernel; called whenever the pad's descriptor is readable.
    virtual void answer() {}
    virtual int descriptor() const = 0;
    virtual int buttons() const = 0;
};

// A HID device through /dev/uhid, which answers the feature reports its driver asks for.
class UhidPad final : public Pad {
public:
    UhidPad(const char* name, std::uint16_t vendor, std::uint16_t product, std::span<const std::uint8_t> report,
            int buttons, bool dualShock4)
        : fd_(open("/dev/uhid", O_RDWR | O_CLOEXEC)), buttons_(buttons), dualShock4_(dualShock4)
    {
        if (fd_ < 0) {
            std::perror("kivo-test-pad: /dev/uhid");
            std::exit(1);
        }
        uhid_event create{};
        create.type = UHID_CREATE2;
        std::snprintf(reinterpret_cast<char*>(create.u.create2.name), sizeof create.u.create2.name, "%s", name);
        std::snprintf(reinterpret_cast<char*>(create.u.create2.uniq), sizeof create.u.create2.uniq,
                      "02:4b:56:00:00:%02x", product & 0xff);
        std::memcpy(create.u.create2.rd_data, report.data(), report.size());
        create.u.create2.rd_size = static_cast<std::uint16_t>(report.size());
        create.u.create2.bus = 0x03;  // BUS_USB, which the drivers match
        create.u.create2.vendor = vendor;
        create.u.create2.product = product;
        create.u.create2.version = 0x0100;
        send(create);
    }
    ~UhidPad() override
    {
        uhid_event destroy{};
        destroy.type = UHID_DESTROY;
        send(destroy);
        close(fd_);
    }

    void show(const Controls& controls) override
    {
        uhid_event input{};
        input.type = UHID_INPUT2;
        std::uint8_t* data = input.u.input2.data;
        data[0] = 0x01;
        if (dualShock4_) {
            // 64 bytes: sticks, hat and buttons 1-4, buttons 5-12, 13-14, triggers, then the
            // motion sensors and the touchpad, whose two points rest untouched.
            input.u.input2.size = 64;
            data[1] = controls.x;
            data[2] = controls.y;
            data[3] = data[4] = 0x80;
            data[5] = static_cast<std::uint8_t>(controls.hat | (controls.buttons & 0xf) << 4);
            data[6] = static_cast<std::uint8_t>(controls.buttons >> 4);
            data[7] = static_cast<std::uint8_t>(controls.buttons >> 12 & 0x3);
            data[30] = 0x1b;
            data[35] = data[39] = 0x80;
        } else {
            // 9 bytes: eleven buttons and the hat, then X, Y, Z, Rz, brake and accelerator.
            input.u.input2.size = 9;
            data[1] = static_cast<std::uint8_t>(controls.buttons);
            data[2] = static_cast<std::uint8_t>((controls.buttons >> 8 & 0x7) | controls.hat << 4);
            data[3] = controls.x;
            data[4] = controls.y;
            data[5] = data[6] = 0x80;
        }
        send(input);
    }

    void answer() override
    {
        uhid_event request{};
        if (read(fd_, &request, sizeof request) <= 0)
            return;
        uhid_event reply{};
        if (request.type == UHID_GET_REPORT) {
            reply.type = UHID_GET_REPORT_REPLY;
            reply.u.get_report_reply.id = request.u.get_report.id;
            const std::vector<std::uint8_t> report = featureReport(request.u.get_report.rnum);
            reply.u.get_report_reply.err = report.empty() ? EIO : 0;
            reply.u.get_report_reply.size = static_cast<std::uint16_t>(report.size());
            std::copy(report.begin(), report.end(), reply.u.get_report_reply.data);
            send(reply);
        } else if (request.type == UHID_SET_REPORT) {
            reply.type = UHID_SET_REPORT_REPLY;
            reply.u.set_report_reply.id = request.u.set_report.id;
            send(reply);
        }
    }

    int descriptor() const override { return fd_; }
    int buttons() const override { return buttons_; }

private:
    std::vector<std::uint8_t> featureReport(std::uint8_t number) const
    {
        if (!dualShock4_)
            return {};
        if (number == kivo::vm::kDualShock4Calibration[0])
            return {std::begin(kivo::vm::kDualShock4Calibration), std::end(kivo::vm::kDualShock4Calibration)};
        if (number == kivo::vm::kDualShock4Firmware[0])
            return {std::begin(kivo::vm::kDualShock4Firmware), std::end(kivo::vm::kDualShock4Firmware)};
        if (number == 0x81)
            return {0x81, 0x01, 0x00, 0x00, 0x56, 0x4b, 0x02};
        return {};
    }

    void send(const uhid_event& event)
    {
        if (write(fd_, &event, sizeof event) != static_cast<ssize_t>(sizeof event))
            std::perror("kivo-test-pad: writing to /dev/uhid");
    }

    int fd_;
    int buttons_;
    bool dualShock4_;
};

enum class UinputShape { Xbox360, DpadButtons, KeyboardJoystick };

// An evdev device through uinput, shaped as a driver would make it.
class UinputPad final : public Pad {
public:
    explicit UinputPad(UinputShape kind) : kind_(kind)
    {
        libevdev* shape = libevdev_new();
        const input_absinfo stick{0, -32768, 32767, 16, 128, 0};
        if (kind == UinputShape::DpadButtons) {
            // The D-pad as four buttons, as hid-sony makes a PS3 pad's and hid-nintendo a Switch pad's.
            libevdev_set_name(shape, "Kivo test pad with D-pad buttons");
            keys_ = {BTN_SOUTH,  BTN_EAST,  BTN_NORTH, BTN_WEST,   BTN_TL,    BTN_TR,
                     BTN_SELECT, BTN_START, BTN_MODE,  BTN_THUMBL, BTN_THUMBR};
            for (const unsigned key : {BTN_DPAD_UP, BTN_DPAD_DOWN, BTN_DPAD_LEFT, BTN_DPAD_RIGHT})
                libevdev_enable_event_code(shape, EV_KEY, key, nullptr);
            for (const unsigned axis : {ABS_X, ABS_Y, ABS_RX, ABS_RY})
                libevdev_enable_event_code(shape, EV_ABS, axis, &stick);
        } else if (kind == UinputShape::Xbox360) {
            libevdev_set_name(shape, "Microsoft X-Box 360 pad");
            libevdev_set_id_bustype(shape, 0x03);
            libevdev_set_id_vendor(shape, 0x045e);
            libevdev_set_id_product(shape, 0x028e);
            libevdev_set_id_version(shape, 0x0110);
            // xpad's buttons, in its order.
            keys_ = {BTN_A,      BTN_B,     BTN_X,    BTN_Y,      BTN_TL,    BTN_TR,
                     BTN_SELECT, BTN_START, BTN_MODE, BTN_THUMBL, BTN_THUMBR};
            const input_absinfo trigger{0, 0, 255, 0, 0, 0};
            const input_absinfo hat{0, -1, 1, 0, 0, 0};
            for (const unsigned axis : {ABS_X, ABS_Y, ABS_RX, ABS_RY})
                libevdev_enable_event_code(shape, EV_ABS, axis, &stick);
            for (const unsigned axis : {ABS_Z, ABS_RZ})
                libevdev_enable_event_code(shape, EV_ABS, axis, &trigger);
            for (const unsigned axis : {ABS_HAT0X, ABS_HAT0Y})
                libevdev_enable_event_code(shape, EV_ABS, axis, &hat);
        } else {
            libevdev_set_name(shape, "Kivo test keyboard with a joystick interface");
            keys_ = {KEY_ESC, KEY_1, KEY_2, KEY_3, KEY_Q, KEY_W, KEY_E, KEY_A, KEY_S, KEY_D};
            const input_absinfo axis{128, 0, 255, 0, 0, 0};
            for (const unsigned code : {ABS_X, ABS_Y, ABS_RX})
                libevdev_enable_event_code(shape, EV_ABS, code, &axis);
        }
        for (const unsigned key : keys_)
            libevdev_enable_event_code(shape, EV_KEY, key, nullptr);
        const int error = libevdev_uinput_create_from_device(shape, LIBEVDEV_UINPUT_OPEN_MANAGED, &device_);
        libevdev_free(shape);
        if (error != 0) {
            std::fprintf(stderr, "kivo-test-pad: no uinput device: %s\n", std::strerror(-error));
            std::exit(1);
        }
    }
    ~UinputPad() override { libevdev_uinput_destroy(device_); }

    void show(const Controls& controls) override
    {
        const auto [hatX, hatY] = hatAxes(controls.hat);
        if (kind_ != UinputShape::KeyboardJoystick) {
            write(EV_ABS, ABS_X, (controls.x - 0x80) * 256);
            write(EV_ABS, ABS_Y, (controls.y - 0x80) * 256);
        }
        if (kind_ == UinputShape::Xbox360) {
            write(EV_ABS, ABS_HAT0X, hatX);
            write(EV_ABS, ABS_HAT0Y, hatY);
        }
        for (std::size_t key = 0; key < keys_.size(); ++key)
            write(EV_KEY, keys_[key], static_cast<int>(controls.buttons >> key & 1U));
        if (kind_ == UinputShape::DpadButtons) {
            write(EV_KEY, BTN_DPAD_UP, hatY < 0);
            write(EV_KEY, BTN_DPAD_DOWN, hatY > 0);
            write(EV_KEY, BTN_DPAD_LEFT, hatX < 0);
            write(EV_KEY, BTN_DPAD_RIGHT, hatX > 0);
        }
        write(EV_SYN, SYN_REPORT, 0);
    }

    int descriptor() const override { return -1; }
    int buttons() const override { return static_cast<int>(keys_.size()); }

private:
    void write(unsigned type, unsigned code, int value) { libevdev_uinput_write_event(device_, type, code, value); }

    libevdev_uinput* device_ = nullptr;
    UinputShape kind_;
    std::vector<unsigned> keys_;
};

// The evdev nodes whose device names begin with the pad's, by node number.
std::map<int, std::string> nodesOf(const std::string& name)
{
    std::map<int, std::string> nodes;
    for (const auto& entry : std::filesystem::directory_iterator("/sys/class/input")) {
        const std::string node = entry.path().filename();
        if (!node.starts_with("event"))
            continue;
        std::string deviceName;
        std::getline(std::ifstream(entry.path() / "device/name"), deviceName);
        if (deviceName.starts_with(name))
            nodes.emplace(std::stoi(node.substr(5)), deviceName);
    }
    return nodes;
}

// Whether the pad's own node (the one named as the pad) shows its stick at rest.
bool atRest(const std::map<int, std::string>& nodes, const std::string& name)
{
    for (const auto& [number, deviceName] : nodes) {
        if (deviceName != name)
            continue;
        const std::string path = "/dev/input/event" + std::to_string(number);
        const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        libevdev* device = nullptr;
        bool rest = false;
        if (fd >= 0 && libevdev_new_from_fd(fd, &device) == 0) {
            const input_absinfo* x = libevdev_get_abs_info(device, ABS_X);
            rest = x != nullptr && 2 * x->value > x->minimum + x->maximum - 4 &&
                   2 * x->value < x->minimum + x->maximum + 4;
            libevdev_free(device);
        }
        if (fd >= 0)
            close(fd);
        return rest;
    }
    return false;
}

}  // namespace

int main(int argc, char** argv)
{
    const std::string shape = argc == 2 ? argv[1] : "";
    std::unique_ptr<Pad> pad;
    std::string name;
    std::size_t devices = 1;
    if (shape == "ds4") {
        name = "Sony Computer Entertainment Wireless Controller";
        pad = std::make_unique<UhidPad>(name.c_str(), 0x054c, 0x05c4, kivo::vm::kDualShock4UsbDescriptor, 14, true);
        devices = 3;
    } else if (shape == "usb-gamepad") {
        name = "Kivo test USB gamepad";
        pad =
            std::make_unique<UhidPad>(name.c_str(), 0x18d1, 0x2c40, kivo::vm::kNexusPlayerGamepadDescriptor, 11, false);
    } else if (shape == "xbox360") {
        pad = std::make_unique<UinputPad>(UinputShape::Xbox360);
        name = "Microsoft X-Box 360 pad";
    } else if (shape == "dpad-buttons") {
        pad = std::make_unique<UinputPad>(UinputShape::DpadButtons);
        name = "Kivo test pad with D-pad buttons";
    } else if (shape == "keyboard-joystick") {
        pad = std::make_unique<UinputPad>(UinputShape::KeyboardJoystick);
        name = "Kivo test keyboard with a joystick interface";
    } else {
        std::fputs("usage: kivo-test-pad ds4|usb-gamepad|xbox360|dpad-buttons|keyboard-joystick\n", stderr);
        return 2;
    }

    Controls controls;
    bool ready = false;
    std::string pending;
    while (true) {
        if (!ready) {
            // A real pad reports all along; the kernel takes reports once its driver is bound.
            pad->show(controls);
            const auto nodes = nodesOf(name);
            if (nodes.size() >= devices && atRest(nodes, name)) {
                for (const auto& [number, deviceName] : nodes) {
                    const std::string path = "/dev/input/event" + std::to_string(number);
                    chmod(path.c_str(), 0666);
                    std::printf("node %s %s\n", path.c_str(), deviceName.c_str());
                }
                std::fflush(stdout);
                ready = true;
            }
        }
        std::array<pollfd, 2> watched{{{0, POLLIN, 0}, {pad->descriptor(), POLLIN, 0}}};
        // While the kernel makes the devices, the rest is shown again every 20 ms.
        if (poll(watched.data(), watched.size(), ready ? -1 : 20) < 0)
            return 1;
        if (watched[1].revents & POLLIN)
            pad->answer();
        if (!(watched[0].revents & (POLLIN | POLLHUP)))
            continue;
        char chunk[256];
        const ssize_t count = read(0, chunk, sizeof chunk);
        if (count <= 0)
            return 0;
        pending.append(chunk, static_cast<std::size_t>(count));
        for (std::size_t end; (end = pending.find('\n')) != std::string::npos; pending.erase(0, end + 1)) {
            std::string error;
            const auto command = kivo::e2e::parseHostCommand(pending.substr(0, end), pad->buttons(), error);
            if (!command) {
                std::fprintf(stderr, "kivo-test-pad: %s\n", error.c_str());
                continue;
            }
            const std::uint32_t bit = command->button > 0 ? 1U << (command->button - 1) : 0;
            switch (command->kind) {
                case HostCommand::Kind::Axes:
                    controls.x = static_cast<std::uint8_t>(command->x >> 8);
                    controls.y = static_cast<std::uint8_t>(command->y >> 8);
                    break;
                case HostCommand::Kind::Pov:
                    controls.hat = hatFromPov(command->pov);
                    break;
                case HostCommand::Kind::Press:
                    controls.buttons |= bit;
                    break;
                case HostCommand::Kind::Release:
                    controls.buttons &= ~bit;
                    break;
                case HostCommand::Kind::Unplug:
                    return 0;
                case HostCommand::Kind::Labels:
                case HostCommand::Kind::Plug:
                    continue;
            }
            pad->show(controls);
        }
    }
}
