#include "platform/desktop/desktop_layout_watch.h"

#include <gio/gio.h>

namespace kivo {
namespace {

constexpr char kService[] = "org.kde.keyboard";
constexpr char kPath[] = "/Layouts";
constexpr char kInterface[] = "org.kde.KeyboardLayouts";

// KWin's keyboard layouts: the index it gives a layout is the layout's group in its keymap.
class KdeKeyboardLayouts final : public DesktopLayoutWatch {
public:
    KdeKeyboardLayouts(GDBusConnection* bus, GroupInUse inUse)
        : bus_(bus), cancellable_(g_cancellable_new()), inUse_(std::move(inUse))
    {
        subscription_ =
            g_dbus_connection_signal_subscribe(bus_, kService, kInterface, "layoutChanged", kPath, nullptr,
                                               G_DBUS_SIGNAL_FLAGS_NONE, &KdeKeyboardLayouts::changed, this, nullptr);
        // Not started on a desktop without it.
        g_dbus_connection_call(bus_, kService, kPath, kInterface, "getLayout", nullptr, G_VARIANT_TYPE("(u)"),
                               G_DBUS_CALL_FLAGS_NO_AUTO_START, -1, cancellable_, &KdeKeyboardLayouts::answered, this);
    }
    ~KdeKeyboardLayouts() override
    {
        g_cancellable_cancel(cancellable_);
        g_object_unref(cancellable_);
        g_dbus_connection_signal_unsubscribe(bus_, subscription_);
        g_object_unref(bus_);
    }
    KdeKeyboardLayouts(const KdeKeyboardLayouts&) = delete;
    KdeKeyboardLayouts& operator=(const KdeKeyboardLayouts&) = delete;

private:
    static void changed(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar*, GVariant* parameters,
                        gpointer self)
    {
        if (g_variant_is_of_type(parameters, G_VARIANT_TYPE("(u)"))) {
            guint32 index = 0;
            g_variant_get(parameters, "(u)", &index);
            static_cast<KdeKeyboardLayouts*>(self)->inUse_(index);
        }
    }

    // Called also for a call cancelled as the watch went, which must not touch the watch.
    static void answered(GObject* bus, GAsyncResult* result, gpointer self)
    {
        GError* error = nullptr;
        GVariant* reply = g_dbus_connection_call_finish(G_DBUS_CONNECTION(bus), result, &error);
        if (reply == nullptr) {
            g_error_free(error);
            return;
        }
        guint32 index = 0;
        g_variant_get(reply, "(u)", &index);
        g_variant_unref(reply);
        static_cast<KdeKeyboardLayouts*>(self)->inUse_(index);
    }

    GDBusConnection* bus_;
    GCancellable* cancellable_;
    GroupInUse inUse_;
    guint subscription_ = 0;
};

}  // namespace

std::unique_ptr<DesktopLayoutWatch> watchKdeKeyboardLayouts(const GroupInUse& inUse)
{
    GDBusConnection* bus = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, nullptr);
    if (bus == nullptr) {
        return nullptr;
    }
    return std::make_unique<KdeKeyboardLayouts>(bus, inUse);
}

}  // namespace kivo
