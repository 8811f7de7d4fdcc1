// A gamepad for the tests in the virtual machine: a uinput device with a chosen number of
// buttons and two axes, driven line by line from standard input with the end-to-end host's
// commands ("press B", "release B", "axes X Y", "unplug", "plug"). Prints "node PATH" whenever
// the device appears, after giving its node the mode asked for, as udev would.
#include "e2e/host_commands.h"

#include <libevdev/libevdev-uinput.h>
#include <libevdev/libevdev.h>

#include <sys/stat.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>
#include <thread>

namespace {

constexpr int kAxisMax = 65535;

class Gamepad {
public:
    Gamepad(int buttons, mode_t mode) : buttons_(buttons), mode_(mode) { plug(); }
    ~Gamepad() { unplug(); }
    Gamepad(const Gamepad&) = delete;
    Gamepad& operator=(const Gamepad&) = delete;

    void plug()
    {
        if (device_ != nullptr)
            return;
        libevdev* description = libevdev_new();
        libevdev_set_name(description, "Kivo test gamepad");
        // SDL numbers buttons in code order from BTN_JOYSTICK, so button B is BTN_TRIGGER + B - 1.
        for (int button = 0; button < buttons_; ++button)
            libevdev_enable_event_code(description, EV_KEY, BTN_TRIGGER + button, nullptr);
        const input_absinfo axis{kAxisMax / 2, 0, kAxisMax, 0, 0, 0};
        libevdev_enable_event_code(description, EV_ABS, ABS_X, &axis);
        libevdev_enable_event_code(description, EV_ABS, ABS_Y, &axis);
        const int error = libevdev_uinput_create_from_device(description, LIBEVDEV_UINPUT_OPEN_MANAGED, &device_);
        libevdev_free(description);
        if (error != 0) {
            std::fprintf(stderr, "kivo-test-gamepad: no uinput device: %s\n", std::strerror(-error));
            std::exit(1);
        }
        const char* node = libevdev_uinput_get_devnode(device_);
        // devtmpfs may make the node a moment after the device.
        for (int attempt = 0; node != nullptr && chmod(node, mode_) != 0 && attempt < 100; ++attempt)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        std::printf("node %s\n", node != nullptr ? node : "?");
        std::fflush(stdout);
    }

    void unplug()
    {
        libevdev_uinput_destroy(device_);
        device_ = nullptr;
    }

    void set(unsigned type, unsigned code, int value)
    {
        if (device_ == nullptr)
            return;
        libevdev_uinput_write_event(device_, type, code, value);
        libevdev_uinput_write_event(device_, EV_SYN, SYN_REPORT, 0);
    }

private:
    int buttons_;
    mode_t mode_;
    libevdev_uinput* device_ = nullptr;
};

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fputs("usage: kivo-test-gamepad BUTTONS OCTAL-MODE\n", stderr);
        return 2;
    }
    const int buttons = std::atoi(argv[1]);
    Gamepad pad(buttons, static_cast<mode_t>(std::strtol(argv[2], nullptr, 8)));
    using Kind = kivo::e2e::HostCommand::Kind;
    for (std::string line; std::getline(std::cin, line);) {
        std::string error;
        const auto command = kivo::e2e::parseHostCommand(line, buttons, error);
        if (!command || command->kind == Kind::Labels || command->kind == Kind::Pov) {
            std::fprintf(stderr, "kivo-test-gamepad: %s\n", command ? "no labels or D-pad here" : error.c_str());
            continue;
        }
        switch (command->kind) {
            case Kind::Axes:
                pad.set(EV_ABS, ABS_X, static_cast<int>(command->x));
                pad.set(EV_ABS, ABS_Y, static_cast<int>(command->y));
                break;
            case Kind::Press:
            case Kind::Release:
                pad.set(EV_KEY, BTN_TRIGGER + command->button - 1, command->kind == Kind::Press ? 1 : 0);
                break;
            case Kind::Unplug:
                pad.unplug();
                break;
            case Kind::Plug:
                pad.plug();
                break;
            case Kind::Labels:
            case Kind::Pov:
                break;
        }
    }
}
