// A launcher in the virtual machine's Wayland scenarios, as a dock or a terminal is one: a native
// window that, once it has the keyboard and a key was typed into it, asks the compositor for an
// activation token vouched for by its surface and that key's serial. Prints "enter" and "leave"
// as it gets and loses the keyboard, and "token TOKEN" once it has one; it stays, with its window
// and the keyboard, so that the token is used while the launcher still holds the focus.
#include "xdg-activation-v1-client-protocol.h"
#include "xdg-shell-client-protocol.h"

#include <wayland-client.h>

#include <sys/mman.h>
#include <unistd.h>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 200;

struct Launcher {
    wl_compositor* compositor = nullptr;
    wl_shm* shm = nullptr;
    wl_seat* seat = nullptr;
    xdg_wm_base* shell = nullptr;
    xdg_activation_v1* activation = nullptr;
    wl_surface* surface = nullptr;
    bool asked = false;
};

void say(const char* format, const char* text = "")
{
    std::printf(format, text);
    std::fflush(stdout);
}

template <typename Proxy>
Proxy* bind(wl_registry* registry, std::uint32_t name, const wl_interface& interface, std::uint32_t version)
{
    return static_cast<Proxy*>(wl_registry_bind(registry, name, &interface, version));
}

void globalAnnounced(void* data, wl_registry* registry, std::uint32_t name, const char* interface, std::uint32_t)
{
    auto& launcher = *static_cast<Launcher*>(data);
    if (std::strcmp(interface, wl_compositor_interface.name) == 0)
        launcher.compositor = bind<wl_compositor>(registry, name, wl_compositor_interface, 1);
    else if (std::strcmp(interface, wl_shm_interface.name) == 0)
        launcher.shm = bind<wl_shm>(registry, name, wl_shm_interface, 1);
    else if (std::strcmp(interface, wl_seat_interface.name) == 0 && launcher.seat == nullptr)
        launcher.seat = bind<wl_seat>(registry, name, wl_seat_interface, 1);
    else if (std::strcmp(interface, xdg_wm_base_interface.name) == 0)
        launcher.shell = bind<xdg_wm_base>(registry, name, xdg_wm_base_interface, 1);
    else if (std::strcmp(interface, xdg_activation_v1_interface.name) == 0)
        launcher.activation = bind<xdg_activation_v1>(registry, name, xdg_activation_v1_interface, 1);
}
void globalRemoved(void*, wl_registry*, std::uint32_t) {}
const wl_registry_listener kRegistryListener{globalAnnounced, globalRemoved};

void ping(void*, xdg_wm_base* shell, std::uint32_t serial)
{
    xdg_wm_base_pong(shell, serial);
}
const xdg_wm_base_listener kShellListener{ping};

// A white buffer the size of the window, in memory shared with the compositor.
wl_buffer* whiteBuffer(wl_shm* shm)
{
    constexpr int stride = kWidth * 4;
    constexpr int size = stride * kHeight;
    const int fd = memfd_create("kivo-test-launcher", MFD_CLOEXEC);
    if (fd < 0 || ftruncate(fd, size) != 0)
        return nullptr;
    void* pixels = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    std::memset(pixels, 0xff, size);
    munmap(pixels, size);
    wl_shm_pool* pool = wl_shm_create_pool(shm, fd, size);
    wl_buffer* buffer = wl_shm_pool_create_buffer(pool, 0, kWidth, kHeight, stride, WL_SHM_FORMAT_XRGB8888);
    wl_shm_pool_destroy(pool);
    close(fd);
    return buffer;
}

void surfaceConfigured(void* data, xdg_surface* surface, std::uint32_t serial)
{
    auto& launcher = *static_cast<Launcher*>(data);
    xdg_surface_ack_configure(surface, serial);
    static wl_buffer* const buffer = whiteBuffer(launcher.shm);
    wl_surface_attach(launcher.surface, buffer, 0, 0);
    wl_surface_commit(launcher.surface);
}
const xdg_surface_listener kSurfaceListener{surfaceConfigured};

void toplevelConfigured(void*, xdg_toplevel*, std::int32_t, std::int32_t, wl_array*) {}
void toplevelClosed(void*, xdg_toplevel*) {}
const xdg_toplevel_listener kToplevelListener{toplevelConfigured, toplevelClosed, nullptr, nullptr};

void tokenDone(void*, xdg_activation_token_v1*, const char* token)
{
    say("token %s\n", token);
}
const xdg_activation_token_v1_listener kTokenListener{tokenDone};

void keymap(void*, wl_keyboard*, std::uint32_t, int fd, std::uint32_t)
{
    close(fd);
}
void entered(void*, wl_keyboard*, std::uint32_t, wl_surface*, wl_array*)
{
    say("enter\n");
}
void left(void*, wl_keyboard*, std::uint32_t, wl_surface*)
{
    say("leave\n");
}
// The first key let go in the window is the user's launch: its serial vouches for the token.
void key(void* data, wl_keyboard*, std::uint32_t serial, std::uint32_t, std::uint32_t, std::uint32_t state)
{
    auto& launcher = *static_cast<Launcher*>(data);
    if (state != WL_KEYBOARD_KEY_STATE_RELEASED || launcher.asked)
        return;
    launcher.asked = true;
    xdg_activation_token_v1* token = xdg_activation_v1_get_activation_token(launcher.activation);
    xdg_activation_token_v1_add_listener(token, &kTokenListener, &launcher);
    xdg_activation_token_v1_set_serial(token, serial, launcher.seat);
    xdg_activation_token_v1_set_surface(token, launcher.surface);
    xdg_activation_token_v1_set_app_id(token, "io.github.kivo_project.Kivo");
    xdg_activation_token_v1_commit(token);
}
void modifiers(void*, wl_keyboard*, std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t) {}
void repeatInfo(void*, wl_keyboard*, std::int32_t, std::int32_t) {}
const wl_keyboard_listener kKeyboardListener{keymap, entered, left, key, modifiers, repeatInfo};

}  // namespace

int main()
{
    wl_display* display = wl_display_connect(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "kivo-test-launcher: no Wayland display\n");
        return 1;
    }
    Launcher launcher;
    wl_registry_add_listener(wl_display_get_registry(display), &kRegistryListener, &launcher);
    wl_display_roundtrip(display);
    if (launcher.compositor == nullptr || launcher.shm == nullptr || launcher.seat == nullptr ||
        launcher.shell == nullptr || launcher.activation == nullptr) {
        std::fprintf(stderr, "kivo-test-launcher: the compositor lacks a global it needs\n");
        return 1;
    }
    xdg_wm_base_add_listener(launcher.shell, &kShellListener, nullptr);
    wl_keyboard_add_listener(wl_seat_get_keyboard(launcher.seat), &kKeyboardListener, &launcher);
    launcher.surface = wl_compositor_create_surface(launcher.compositor);
    xdg_surface* surface = xdg_wm_base_get_xdg_surface(launcher.shell, launcher.surface);
    xdg_surface_add_listener(surface, &kSurfaceListener, &launcher);
    xdg_toplevel* toplevel = xdg_surface_get_toplevel(surface);
    xdg_toplevel_add_listener(toplevel, &kToplevelListener, nullptr);
    xdg_toplevel_set_title(toplevel, "kivo-test-launcher");
    xdg_toplevel_set_app_id(toplevel, "kivo-test-launcher");
    wl_surface_commit(launcher.surface);
    while (wl_display_dispatch(display) >= 0) {
    }
    std::fprintf(stderr, "kivo-test-launcher: the compositor went away\n");
    return 1;
}
