#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

namespace kivo {

// Which of the user's keyboard layouts is in use, as the desktop publishes it to every program:
// a Wayland compositor tells it only to the window with the keyboard, so a switch made in a game
// would otherwise reach Kivo only with the next key pressed in its own window. Told as the
// layout's index (its XKB group) in the keymap the compositor announces, once at the start where
// the desktop can be asked, and at every switch. Its answers arrive through GLib's main loop,
// which Qt runs.
class DesktopLayoutWatch {
public:
    virtual ~DesktopLayoutWatch() = default;
};

using GroupInUse = std::function<void(unsigned group)>;

// KDE Plasma's, on the session bus, and GNOME's, from its settings where the desktop is GNOME
// ($XDG_CURRENT_DESKTOP); nullptr where there is neither.
std::unique_ptr<DesktopLayoutWatch> watchDesktopLayout(const GroupInUse& inUse);

std::unique_ptr<DesktopLayoutWatch> watchKdeKeyboardLayouts(const GroupInUse& inUse);
std::unique_ptr<DesktopLayoutWatch> watchGnomeInputSources(const GroupInUse& inUse);

// GNOME's input sources, each a type ("xkb", "ibus") and an id ("de", "us+intl").
struct InputSource {
    std::string_view type;
    std::string_view id;
};

// The group of the source in use, the first of the most recently used: GNOME Shell puts up to
// three distinct layouts of the user's in one keymap, after one another, and the layout of its
// own language after them. None for a source that is no layout of the list.
std::optional<unsigned> gnomeGroupInUse(const std::vector<InputSource>& sources,
                                        const std::vector<InputSource>& mostRecentlyUsed);

}  // namespace kivo
