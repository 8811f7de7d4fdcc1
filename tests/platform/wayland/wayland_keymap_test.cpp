#include "platform/wayland/activation_token.h"
#include "platform/wayland/wayland_backends.h"
#include "support/silent_socket.h"
#include "support/waits.h"

#include <gtest/gtest.h>
#include <linux/input-event-codes.h>
#include <stdlib.h>
#include <sys/eventfd.h>
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-server-core.h>
#include <wayland-server-protocol.h>

#include <filesystem>
#include <string>

namespace kivo {
namespace {

// The part of a compositor that Kivo's keymap source talks to: one seat with a keyboard that
// announces the keymap of an XKB layout, and announces another when told to.
class SeatCompositor {
public:
    explicit SeatCompositor(std::string layout) : layout_(std::move(layout))
    {
        setenv("XDG_RUNTIME_DIR", runtime_.c_str(), 1);
        socket_ = wl_display_add_socket_auto(display_);
        wl_global_create(display_, &wl_seat_interface, 5, this, bindSeat);
        layoutSource_ = wl_event_loop_add_fd(wl_display_get_event_loop(display_), layoutChanged_, WL_EVENT_READABLE,
                                             announceAgain, this);
        thread_ = std::thread([this] { wl_display_run(display_); });
    }
    ~SeatCompositor()
    {
        wl_display_terminate(display_);
        thread_.join();
        wl_event_source_remove(layoutSource_);
        wl_display_destroy(display_);
        close(layoutChanged_);
        std::filesystem::remove_all(runtime_);
    }
    SeatCompositor(const SeatCompositor&) = delete;
    SeatCompositor& operator=(const SeatCompositor&) = delete;

    const char* socket() const { return socket_; }

    // The next layout, announced from the compositor's own thread.
    void changeLayout(std::string layout)
    {
        nextLayout_ = std::move(layout);
        eventfd_write(layoutChanged_, 1);
    }

private:
    static void bindSeat(wl_client* client, void* self, std::uint32_t version, std::uint32_t id)
    {
        static const struct wl_seat_interface seat {
            [](wl_client*, wl_resource*, std::uint32_t) {},
                [](wl_client* client, wl_resource* seat, std::uint32_t id) {
                    auto* compositor = static_cast<SeatCompositor*>(wl_resource_get_user_data(seat));
                    compositor->keyboard_ = wl_resource_create(client, &wl_keyboard_interface, 5, id);
                    wl_resource_set_implementation(compositor->keyboard_, &kKeyboard, nullptr, nullptr);
                    compositor->announce();
                },
                [](wl_client*, wl_resource*, std::uint32_t) {},
                [](wl_client*, wl_resource* seat) { wl_resource_destroy(seat); },
        };
        wl_resource* resource = wl_resource_create(client, &wl_seat_interface, static_cast<int>(version), id);
        wl_resource_set_implementation(resource, &seat, self, nullptr);
        wl_seat_send_capabilities(resource, WL_SEAT_CAPABILITY_KEYBOARD);
    }

    static int announceAgain(int descriptor, std::uint32_t, void* self)
    {
        eventfd_t count = 0;
        eventfd_read(descriptor, &count);
        auto* compositor = static_cast<SeatCompositor*>(self);
        compositor->layout_ = compositor->nextLayout_;
        compositor->announce();
        return 0;
    }

    void announce()
    {
        xkb_context* context = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
        const xkb_rule_names names{nullptr, nullptr, layout_.c_str(), nullptr, nullptr};
        xkb_keymap* keymap = xkb_keymap_new_from_names(context, &names, XKB_KEYMAP_COMPILE_NO_FLAGS);
        char* text = xkb_keymap_get_as_string(keymap, XKB_KEYMAP_FORMAT_TEXT_V1);
        const std::size_t size = std::char_traits<char>::length(text) + 1;
        const int descriptor = memfd_create("keymap", MFD_CLOEXEC);
        EXPECT_EQ(write(descriptor, text, size), static_cast<ssize_t>(size));
        wl_keyboard_send_keymap(keyboard_, WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1, descriptor,
                                static_cast<std::uint32_t>(size));
        close(descriptor);
        free(text);
        xkb_keymap_unref(keymap);
        xkb_context_unref(context);
    }

    static constexpr struct wl_keyboard_interface kKeyboard {
        [](wl_client*, wl_resource* keyboard) { wl_resource_destroy(keyboard); },
    };

    std::string runtime_ = mkdtemp(std::string("/tmp/kivo-wayland-XXXXXX").data());
    wl_display* display_ = wl_display_create();
    const char* socket_ = nullptr;
    int layoutChanged_ = eventfd(0, EFD_CLOEXEC);
    wl_event_source* layoutSource_ = nullptr;
    wl_resource* keyboard_ = nullptr;
    std::string layout_;
    std::string nextLayout_;
    std::thread thread_;
};

unsigned keyTyping(KeymapSource& keymaps, xkb_keysym_t keysym)
{
    const std::optional<KeyPlacement> placement = keymaps.layout().findCharacter(xkb_keysym_to_utf32(keysym));
    return placement ? placement->code : 0;
}

TEST(WaylandKeymap, TypesByTheKeymapTheCompositorAnnouncesAtBindAndLater)
{
    SeatCompositor compositor("de");
    const std::unique_ptr<KeymapSource> keymaps = connectWaylandKeymap(compositor.socket());
    ASSERT_NE(keymaps, nullptr);
    EXPECT_EQ(keyTyping(*keymaps, XKB_KEY_z), KEY_Y);

    compositor.changeLayout("fr");
    test_support::waitFor([&] { return keyTyping(*keymaps, XKB_KEY_q) == KEY_A; });
    EXPECT_EQ(keyTyping(*keymaps, XKB_KEY_q), KEY_A);
}

// A start asks the compositor for an activation token within the claim's patience; one that takes
// the connection and never answers gives none once its share of that patience is over.
TEST(WaylandActivationToken, ACompositorThatNeverAnswersGivesNone)
{
    const std::filesystem::path runtime =
        std::filesystem::temp_directory_path() / ("kivo-wayland-" + std::to_string(getpid()));
    std::filesystem::create_directories(runtime);
    {
        const test_support::SilentSocket compositor(runtime / "wayland-silent");
        setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
        setenv("WAYLAND_DISPLAY", "wayland-silent", 1);
        EXPECT_EQ(activationTokenFromCompositor(std::chrono::milliseconds(200)), "");
    }
    std::filesystem::remove_all(runtime);
}

// The compositor tells only the window with the keyboard which of two layouts is in use; the
// keys of Kivo's window show it.
TEST(WaylandKeymap, FollowsTheLayoutInUseFromTheKeysOfKivosWindowAndTheDesktop)
{
    SeatCompositor compositor("us,de");
    const std::unique_ptr<KeymapSource> keymaps = connectWaylandKeymap(compositor.socket());
    ASSERT_NE(keymaps, nullptr);
    EXPECT_EQ(keyTyping(*keymaps, XKB_KEY_udiaeresis), 0U);
    keymaps->keyTyped(KEY_LEFTBRACE + 8, XKB_KEY_Udiaeresis);
    EXPECT_EQ(keyTyping(*keymaps, XKB_KEY_udiaeresis), KEY_LEFTBRACE);
    keymaps->keyTyped(KEY_A + 8, XKB_KEY_a);
    EXPECT_EQ(keyTyping(*keymaps, XKB_KEY_udiaeresis), KEY_LEFTBRACE) << "a is on both layouts";
    keymaps->keyTyped(KEY_LEFTBRACE + 8, XKB_KEY_bracketleft);
    EXPECT_EQ(keyTyping(*keymaps, XKB_KEY_bracketleft), KEY_LEFTBRACE);

    // As the desktop publishes a switch; a group the keymap lacks is no switch.
    keymaps->groupInUse(0);
    EXPECT_EQ(keyTyping(*keymaps, XKB_KEY_udiaeresis), 0U);
    keymaps->groupInUse(2);
    EXPECT_EQ(keyTyping(*keymaps, XKB_KEY_udiaeresis), 0U);

    // A keymap announced again keeps the second layout in use: here that is now the US one.
    keymaps->keyTyped(KEY_LEFTBRACE + 8, XKB_KEY_udiaeresis);
    compositor.changeLayout("de,us");
    EXPECT_TRUE(test_support::waitFor([&] { return keyTyping(*keymaps, XKB_KEY_bracketleft) == KEY_LEFTBRACE; }));
}

}  // namespace
}  // namespace kivo
