// The user's own keyboard in the virtual machine's scenarios: a uinput keyboard driven line by
// line from standard input ("press KEY_F7", "release KEY_F7"). Prints "node PATH" once the
// device exists.
#include <libevdev/libevdev-uinput.h>
#include <libevdev/libevdev.h>

#include <cstdio>
#include <cstring>
#include <iostream>
#include <sstream>
#include <string>

int main()
{
    libevdev* description = libevdev_new();
    libevdev_set_name(description, "Kivo test keyboard");
    for (unsigned code = KEY_ESC; code <= KEY_MICMUTE; ++code)
        libevdev_enable_event_code(description, EV_KEY, code, nullptr);
    libevdev_uinput* device = nullptr;
    const int error = libevdev_uinput_create_from_device(description, LIBEVDEV_UINPUT_OPEN_MANAGED, &device);
    libevdev_free(description);
    if (error != 0) {
        std::fprintf(stderr, "kivo-test-keyboard: no uinput device: %s\n", std::strerror(-error));
        return 1;
    }
    const char* node = libevdev_uinput_get_devnode(device);
    std::printf("node %s\n", node != nullptr ? node : "?");
    std::fflush(stdout);
    for (std::string line; std::getline(std::cin, line);) {
        std::istringstream words(line);
        std::string action;
        std::string key;
        words >> action >> key;
        const int code = libevdev_event_code_from_name(EV_KEY, key.c_str());
        if ((action != "press" && action != "release") || code < 0) {
            std::fprintf(stderr, "kivo-test-keyboard: not understood: %s\n", line.c_str());
            continue;
        }
        libevdev_uinput_write_event(device, EV_KEY, static_cast<unsigned>(code), action == "press" ? 1 : 0);
        libevdev_uinput_write_event(device, EV_SYN, SYN_REPORT, 0);
    }
    libevdev_uinput_destroy(device);
}
