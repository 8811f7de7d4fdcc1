#include "platform/desktop/desktop_layout_watch.h"

#include <gio/gio.h>

namespace kivo {
namespace {

constexpr char kSchema[] = "org.gnome.desktop.input-sources";

// Both keys' values, each a list of (type, id).
class SourcesValue {
public:
    SourcesValue(GSettings* settings, const char* key) : value_(g_settings_get_value(settings, key))
    {
        GVariantIter iter;
        g_variant_iter_init(&iter, value_);
        const gchar* type = nullptr;
        const gchar* id = nullptr;
        while (g_variant_iter_next(&iter, "(&s&s)", &type, &id)) {
            sources_.push_back({type, id});
        }
    }
    ~SourcesValue() { g_variant_unref(value_); }
    SourcesValue(const SourcesValue&) = delete;
    SourcesValue& operator=(const SourcesValue&) = delete;

    const std::vector<InputSource>& sources() const { return sources_; }

private:
    GVariant* value_;
    std::vector<InputSource> sources_;
};

// GNOME Shell writes the most recently used sources at every switch, the one switched to first.
class GnomeInputSources final : public DesktopLayoutWatch {
public:
    GnomeInputSources(GSettingsSchema* schema, GroupInUse inUse)
        : settings_(g_settings_new_full(schema, nullptr, nullptr)), inUse_(std::move(inUse))
    {
        handler_ = g_signal_connect(settings_, "changed", G_CALLBACK(&GnomeInputSources::changed), this);
        tell();
    }
    ~GnomeInputSources() override
    {
        g_signal_handler_disconnect(settings_, handler_);
        g_object_unref(settings_);
    }
    GnomeInputSources(const GnomeInputSources&) = delete;
    GnomeInputSources& operator=(const GnomeInputSources&) = delete;

private:
    static void changed(GSettings*, const gchar*, gpointer self) { static_cast<GnomeInputSources*>(self)->tell(); }

    void tell()
    {
        const SourcesValue sources(settings_, "sources");
        const SourcesValue mostRecentlyUsed(settings_, "mru-sources");
        if (const std::optional<unsigned> group = gnomeGroupInUse(sources.sources(), mostRecentlyUsed.sources())) {
            inUse_(*group);
        }
    }

    GSettings* settings_;
    GroupInUse inUse_;
    gulong handler_ = 0;
};

}  // namespace

std::unique_ptr<DesktopLayoutWatch> watchGnomeInputSources(const GroupInUse& inUse)
{
    // Without the schema GSettings would end the program.
    GSettingsSchemaSource* installed = g_settings_schema_source_get_default();
    GSettingsSchema* schema =
        installed == nullptr ? nullptr : g_settings_schema_source_lookup(installed, kSchema, TRUE);
    if (schema == nullptr || !g_settings_schema_has_key(schema, "mru-sources")) {
        if (schema != nullptr) {
            g_settings_schema_unref(schema);
        }
        return nullptr;
    }
    auto watch = std::make_unique<GnomeInputSources>(schema, inUse);
    g_settings_schema_unref(schema);
    return watch;
}

}  // namespace kivo
