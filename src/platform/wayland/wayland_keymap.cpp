#include "platform/wayland/wayland_backends.h"

#include "platform/messages.h"

#include <poll.h>
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

namespace kivo {
namespace {

// Nothing after the versions that brought wl_seat.release and wl_keyboard.release is needed.
constexpr std::uint32_t kSeatVersion = 5;
constexpr std::uint32_t kKeyboardReleaseVersion = 3;
// Registry, seat capabilities, keymap: each answer comes one round trip after the last.
constexpr int kRoundTripsToKeymap = 3;

class WaylandKeymap final : public KeymapSource {
public:
    WaylandKeymap(wl_display* display, XkbLayout fallback)
        : display_(display),
          registry_(wl_display_get_registry(display)),
          context_(xkb_context_new(XKB_CONTEXT_NO_FLAGS)),
          layout_(std::move(fallback))
    {
        wl_registry_add_listener(registry_, &kRegistryListener, this);
        for (int i = 0; i < kRoundTripsToKeymap && !announced_; ++i) {
            wl_display_roundtrip(display_);
        }
    }

    ~WaylandKeymap() override
    {
        releaseKeyboard();
        if (seat_ != nullptr && wl_seat_get_version(seat_) >= kSeatVersion) {
            wl_seat_release(seat_);
        } else if (seat_ != nullptr) {
            wl_seat_destroy(seat_);
        }
        wl_registry_destroy(registry_);
        wl_display_disconnect(display_);
        xkb_keymap_unref(keymap_);
        xkb_context_unref(context_);
    }

    WaylandKeymap(const WaylandKeymap&) = delete;
    WaylandKeymap& operator=(const WaylandKeymap&) = delete;

    const XkbLayout& layout() override
    {
        readEvents();
        return layout_;
    }

    void keyTyped(xkb_keycode_t keycode, xkb_keysym_t keysym) override
    {
        // A keymap announced while Kivo slept is older than the key.
        readEvents();
        if (keymap_ == nullptr) {
            return;
        }
        use(XkbLayout::groupTyping(keymap_, keycode, keysym, group_));
    }

    void groupInUse(xkb_layout_index_t group) override
    {
        readEvents();
        if (keymap_ == nullptr || group < xkb_keymap_num_layouts(keymap_)) {
            use(group);
        }
    }

private:
    void use(xkb_layout_index_t group)
    {
        if (group != group_) {
            group_ = group;
            if (keymap_ != nullptr) {
                layout_ = XkbLayout(keymap_, group_);
            }
        }
    }

    // Handles what has arrived without waiting for more, as a send must not wait.
    void readEvents()
    {
        if (lost_) {
            return;
        }
        while (wl_display_prepare_read(display_) != 0) {
            if (wl_display_dispatch_pending(display_) < 0) {
                return connectionLost();
            }
        }
        wl_display_flush(display_);
        pollfd socket{wl_display_get_fd(display_), POLLIN, 0};
        if (poll(&socket, 1, 0) > 0) {
            wl_display_read_events(display_);
        } else {
            wl_display_cancel_read(display_);
        }
        if (wl_display_dispatch_pending(display_) < 0) {
            connectionLost();
        }
    }

    void connectionLost()
    {
        lost_ = true;
        reportProblem("the Wayland connection is lost; keys go by the last keymap the compositor announced");
    }

    void releaseKeyboard()
    {
        if (keyboard_ != nullptr) {
            if (wl_keyboard_get_version(keyboard_) >= kKeyboardReleaseVersion) {
                wl_keyboard_release(keyboard_);
            } else {
                wl_keyboard_destroy(keyboard_);
            }
            keyboard_ = nullptr;
        }
    }

    void global(std::uint32_t name, std::string_view interface, std::uint32_t version)
    {
        if (seat_ == nullptr && interface == wl_seat_interface.name) {
            seat_ = static_cast<wl_seat*>(
                wl_registry_bind(registry_, name, &wl_seat_interface, std::min(version, kSeatVersion)));
            wl_seat_add_listener(seat_, &kSeatListener, this);
        }
    }

    void capabilities(std::uint32_t capabilities)
    {
        const bool hasKeyboard = (capabilities & WL_SEAT_CAPABILITY_KEYBOARD) != 0;
        if (hasKeyboard && keyboard_ == nullptr) {
            keyboard_ = wl_seat_get_keyboard(seat_);
            wl_keyboard_add_listener(keyboard_, &kKeyboardListener, this);
        } else if (!hasKeyboard) {
            releaseKeyboard();
        }
    }

    // The compositor sends its keymap when the keyboard is bound and again whenever it changes.
    void keymap(std::uint32_t format, int descriptor, std::uint32_t size)
    {
        announced_ = true;
        if (context_ != nullptr && format == WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1 && size > 0) {
            void* text = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, descriptor, 0);
            if (text != MAP_FAILED) {
                const auto* characters = static_cast<const char*>(text);
                xkb_keymap* compiled =
                    xkb_keymap_new_from_buffer(context_, characters, strnlen(characters, size),
                                               XKB_KEYMAP_FORMAT_TEXT_V1, XKB_KEYMAP_COMPILE_NO_FLAGS);
                munmap(text, size);
                if (compiled != nullptr) {
                    xkb_keymap_unref(keymap_);
                    keymap_ = compiled;
                    // The same layouts come again when another keyboard is added or its options
                    // change; the one in use stays.
                    group_ = group_ < xkb_keymap_num_layouts(keymap_) ? group_ : 0;
                    layout_ = XkbLayout(keymap_, group_);
                    close(descriptor);
                    return;
                }
            }
        }
        close(descriptor);
        reportProblem("the compositor's keymap cannot be read; keys go by the one before it");
    }

    static constexpr wl_registry_listener kRegistryListener{
        [](void* self, wl_registry*, std::uint32_t name, const char* interface, std::uint32_t version) {
            static_cast<WaylandKeymap*>(self)->global(name, interface, version);
        },
        [](void*, wl_registry*, std::uint32_t) {},
    };
    static constexpr wl_seat_listener kSeatListener{
        [](void* self, wl_seat*, std::uint32_t capabilities) {
            static_cast<WaylandKeymap*>(self)->capabilities(capabilities);
        },
        [](void*, wl_seat*, const char*) {},
    };
    static constexpr wl_keyboard_listener kKeyboardListener{
        [](void* self, wl_keyboard*, std::uint32_t format, std::int32_t descriptor, std::uint32_t size) {
            static_cast<WaylandKeymap*>(self)->keymap(format, descriptor, size);
        },
        [](void*, wl_keyboard*, std::uint32_t, wl_surface*, wl_array*) {},
        [](void*, wl_keyboard*, std::uint32_t, wl_surface*) {},
        [](void*, wl_keyboard*, std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t) {},
        [](void*, wl_keyboard*, std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t) {},
        [](void*, wl_keyboard*, std::int32_t, std::int32_t) {},
    };

    wl_display* display_;
    wl_registry* registry_;
    wl_seat* seat_ = nullptr;
    wl_keyboard* keyboard_ = nullptr;
    xkb_context* context_;
    xkb_keymap* keymap_ = nullptr;
    // Followed from what the desktop publishes and from the keys of Kivo's window, as the keymap
    // says nothing of it.
    xkb_layout_index_t group_ = 0;
    XkbLayout layout_;
    bool announced_ = false;
    bool lost_ = false;
};

}  // namespace

std::unique_ptr<KeymapSource> connectWaylandKeymap(const char* displayName)
{
    wl_display* display = wl_display_connect(displayName);
    if (display == nullptr) {
        reportProblem(std::string("no Wayland compositor answers: ") + std::strerror(errno));
        return nullptr;
    }
    std::optional<XkbLayout> fallback = XkbLayout::fromNames({});
    if (!fallback) {
        reportProblem(
            "the default keymap does not compile; characters are typed once the compositor "
            "announces its keymap");
    }
    return std::make_unique<WaylandKeymap>(display, fallback ? std::move(*fallback) : XkbLayout{});
}

}  // namespace kivo
