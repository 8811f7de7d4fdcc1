#pragma once

#include "platform/xkb/xkb_layout.h"

#include <X11/Xlib.h>
#include <xkbcommon/xkbcommon.h>

#include <memory>

namespace kivo {

// The X server's keyboard in the one layout model both Linux edges share: its keymap read
// through xkbcommon, in the group the user has in use, read again only when either changes, so
// lookups on every tick cost no round trip. Also the indicator bits of its lock lights.
class ServerKeymap {
public:
    explicit ServerKeymap(Display* display);

    void keymapChanged() { keymapStale_ = true; }
    void groupChanged(xkb_layout_index_t group);
    const XkbLayout& layout();

    // Indicator bits (XKB) of the three lock lights; 0 when the keyboard has no such light.
    unsigned capsLockLight() const { return capsLockLight_; }
    unsigned numLockLight() const { return numLockLight_; }
    unsigned scrollLockLight() const { return scrollLockLight_; }

private:
    void read();

    Display* display_;
    std::unique_ptr<xkb_context, decltype(&xkb_context_unref)> context_;
    std::unique_ptr<xkb_keymap, decltype(&xkb_keymap_unref)> keymap_{nullptr, &xkb_keymap_unref};
    xkb_layout_index_t group_ = 0;
    XkbLayout layout_;
    bool keymapStale_ = true;
    bool groupStale_ = false;
    unsigned capsLockLight_ = 0;
    unsigned numLockLight_ = 0;
    unsigned scrollLockLight_ = 0;
};

}  // namespace kivo
