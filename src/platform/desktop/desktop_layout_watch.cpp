#include "platform/desktop/desktop_layout_watch.h"

#include <algorithm>
#include <cstdlib>
#include <string>
#include <utility>

namespace kivo {
namespace {

class BothWatches final : public DesktopLayoutWatch {
public:
    BothWatches(std::unique_ptr<DesktopLayoutWatch> kde, std::unique_ptr<DesktopLayoutWatch> gnome)
        : kde_(std::move(kde)), gnome_(std::move(gnome))
    {
    }

private:
    std::unique_ptr<DesktopLayoutWatch> kde_;
    std::unique_ptr<DesktopLayoutWatch> gnome_;
};

// GNOME's settings are kept on other desktops too, where they say nothing of the layout in use.
bool onGnome()
{
    const char* desktops = std::getenv("XDG_CURRENT_DESKTOP");
    return desktops != nullptr && std::string(desktops).find("GNOME") != std::string::npos;
}

}  // namespace

std::unique_ptr<DesktopLayoutWatch> watchDesktopLayout(const GroupInUse& inUse)
{
    auto kde = watchKdeKeyboardLayouts(inUse);
    auto gnome = onGnome() ? watchGnomeInputSources(inUse) : nullptr;
    if (!kde && !gnome) {
        return nullptr;
    }
    return std::make_unique<BothWatches>(std::move(kde), std::move(gnome));
}

std::optional<unsigned> gnomeGroupInUse(const std::vector<InputSource>& sources,
                                        const std::vector<InputSource>& mostRecentlyUsed)
{
    constexpr std::size_t kUsersLayoutsPerKeymap = 3;
    std::vector<std::string_view> layouts;
    for (const InputSource& source : sources) {
        if (source.type == "xkb" && std::ranges::find(layouts, source.id) == layouts.end()) {
            layouts.push_back(source.id);
        }
    }
    // Until a switch, GNOME has written no most recently used: the first source is in use.
    const std::vector<InputSource>& order = mostRecentlyUsed.empty() ? sources : mostRecentlyUsed;
    if (order.empty() || order.front().type != "xkb") {
        return std::nullopt;
    }
    const auto found = std::ranges::find(layouts, order.front().id);
    if (found == layouts.end()) {
        return std::nullopt;
    }
    return static_cast<unsigned>(static_cast<std::size_t>(found - layouts.begin()) % kUsersLayoutsPerKeymap);
}

}  // namespace kivo
