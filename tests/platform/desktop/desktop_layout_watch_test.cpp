#include "platform/desktop/desktop_layout_watch.h"
#include "support/private_session_bus.h"
#include "support/waits.h"

#include <gio/gio.h>
#include <gtest/gtest.h>

#include <cstdlib>

namespace kivo {
namespace {

void runGlibLoop()
{
    while (g_main_context_iteration(nullptr, FALSE)) {
    }
    test_support::pauseBeforeAsking();
}

// What the watch told, in order.
struct Told {
    std::vector<unsigned> groups;
    GroupInUse record()
    {
        return [this](unsigned group) { groups.push_back(group); };
    }
    bool received(std::vector<unsigned> expected)
    {
        return test_support::waitFor([&] { return groups == expected; }, runGlibLoop);
    }
};

TEST(GnomeInputSources, TheGroupIsTheMostRecentlyUsedLayoutsPlaceAmongThreeAKeymapHolds)
{
    const std::vector<InputSource> usDe = {{"xkb", "us"}, {"xkb", "de"}};
    const std::vector<InputSource> five = {{"xkb", "us"}, {"ibus", "anthy"}, {"xkb", "de"},
                                           {"xkb", "fr"}, {"xkb", "ru"},     {"xkb", "de"}};
    const struct {
        std::vector<InputSource> sources;
        std::vector<InputSource> mostRecentlyUsed;
        std::optional<unsigned> group;
    } table[] = {
        {usDe, {}, 0},
        {usDe, {{"xkb", "de"}, {"xkb", "us"}}, 1},
        {five, {{"xkb", "fr"}}, 2},
        {five, {{"xkb", "ru"}}, 0},
        {five, {{"ibus", "anthy"}}, std::nullopt},
        {usDe, {{"xkb", "fr"}}, std::nullopt},
    };
    for (const auto& row : table) {
        EXPECT_EQ(gnomeGroupInUse(row.sources, row.mostRecentlyUsed), row.group)
            << row.mostRecentlyUsed.size() << " most recently used";
    }
}

// GNOME Shell writes the sources most recently used at each switch.
TEST(GnomeInputSources, EachSwitchIsTold)
{
    setenv("GSETTINGS_BACKEND", "memory", 1);
    GSettings* settings = g_settings_new("org.gnome.desktop.input-sources");
    g_settings_set_value(settings, "sources", g_variant_new_parsed("[('xkb', 'us'), ('xkb', 'de')]"));
    Told told;
    const auto watch = watchGnomeInputSources(told.record());
    ASSERT_TRUE(watch) << "the schema is missing; scripts/bootstrap.sh installs gsettings-desktop-schemas";
    EXPECT_TRUE(told.received({0}));
    g_settings_set_value(settings, "mru-sources", g_variant_new_parsed("[('xkb', 'de'), ('xkb', 'us')]"));
    EXPECT_TRUE(told.received({0, 1}));
    g_object_unref(settings);
}

// KWin's keyboard layouts, as org.kde.keyboard offers them: the one in use, and a signal at each switch.
class KdeKeyboard {
public:
    explicit KdeKeyboard(const std::string& address)
        : bus_(g_dbus_connection_new_for_address_sync(
              address.c_str(),
              static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                                G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
              nullptr, nullptr, nullptr)),
          node_(g_dbus_node_info_new_for_xml("<node><interface name='org.kde.KeyboardLayouts'><method name='getLayout'>"
                                             "<arg type='u' direction='out'/></method></interface></node>",
                                             nullptr))
    {
        static constexpr GDBusInterfaceVTable kAnswers{
            [](GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar*, GVariant*,
               GDBusMethodInvocation* call, gpointer self) {
                g_dbus_method_invocation_return_value(call,
                                                      g_variant_new("(u)", static_cast<KdeKeyboard*>(self)->inUse));
            },
            nullptr,
            nullptr,
            {}};
        g_dbus_connection_register_object(bus_, "/Layouts", node_->interfaces[0], &kAnswers, this, nullptr, nullptr);
        GVariant* owned = g_dbus_connection_call_sync(
            bus_, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", "RequestName",
            g_variant_new("(su)", "org.kde.keyboard", 0U), nullptr, G_DBUS_CALL_FLAGS_NONE, -1, nullptr, nullptr);
        if (owned != nullptr)
            g_variant_unref(owned);
    }
    ~KdeKeyboard()
    {
        g_dbus_node_info_unref(node_);
        g_object_unref(bus_);
    }
    KdeKeyboard(const KdeKeyboard&) = delete;
    KdeKeyboard& operator=(const KdeKeyboard&) = delete;

    void switchTo(unsigned layout)
    {
        inUse = layout;
        g_dbus_connection_emit_signal(bus_, nullptr, "/Layouts", "org.kde.KeyboardLayouts", "layoutChanged",
                                      g_variant_new("(u)", layout), nullptr);
        g_dbus_connection_flush_sync(bus_, nullptr, nullptr);
    }

    unsigned inUse = 1;

private:
    GDBusConnection* bus_;
    GDBusNodeInfo* node_;
};

TEST(KdeKeyboardLayouts, TheLayoutInUseAtTheStartAndEachSwitchAreTold)
{
    const test_support::PrivateSessionBus bus;
    ASSERT_TRUE(bus.started()) << "dbus-daemon is missing; scripts/bootstrap.sh installs it";
    setenv("DBUS_SESSION_BUS_ADDRESS", bus.address().c_str(), 1);
    KdeKeyboard kwin(bus.address());
    Told told;
    const auto watch = watchKdeKeyboardLayouts(told.record());
    ASSERT_TRUE(watch);
    EXPECT_TRUE(told.received({1}));
    kwin.switchTo(0);
    EXPECT_TRUE(told.received({1, 0}));
    kwin.switchTo(2);
    EXPECT_TRUE(told.received({1, 0, 2}));
}

}  // namespace
}  // namespace kivo
