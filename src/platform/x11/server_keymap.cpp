#include "platform/x11/server_keymap.h"

#include "platform/messages.h"

#include <X11/XKBlib.h>
#include <X11/Xlib-xcb.h>
#include <xkbcommon/xkbcommon-x11.h>

namespace kivo {
namespace {

unsigned indicatorBit(Display* display, const char* name)
{
    int index = 0;
    if (!XkbGetNamedIndicator(display, XInternAtom(display, name, False), &index, nullptr, nullptr, nullptr)) {
        return 0;
    }
    return 1U << index;
}

}  // namespace

ServerKeymap::ServerKeymap(Display* display)
    : display_(display), context_(xkb_context_new(XKB_CONTEXT_NO_FLAGS), &xkb_context_unref)
{
    xkb_x11_setup_xkb_extension(XGetXCBConnection(display_), XKB_X11_MIN_MAJOR_XKB_VERSION,
                                XKB_X11_MIN_MINOR_XKB_VERSION, XKB_X11_SETUP_XKB_EXTENSION_NO_FLAGS, nullptr, nullptr,
                                nullptr, nullptr);
    XkbStateRec state{};
    if (XkbGetState(display_, XkbUseCoreKbd, &state) == Success) {
        group_ = state.group;
    }
}

void ServerKeymap::groupChanged(xkb_layout_index_t group)
{
    if (group != group_) {
        group_ = group;
        groupStale_ = true;
    }
}

const XkbLayout& ServerKeymap::layout()
{
    if (keymapStale_) {
        read();
    } else if (groupStale_ && keymap_) {
        layout_ = XkbLayout(keymap_.get(), group_);
    }
    keymapStale_ = groupStale_ = false;
    return layout_;
}

void ServerKeymap::read()
{
    xcb_connection_t* connection = XGetXCBConnection(display_);
    const std::int32_t device = xkb_x11_get_core_keyboard_device_id(connection);
    xkb_keymap* keymap = context_ && device >= 0 ? xkb_x11_keymap_new_from_device(context_.get(), connection, device,
                                                                                  XKB_KEYMAP_COMPILE_NO_FLAGS)
                                                 : nullptr;
    if (keymap == nullptr) {
        reportProblem("the X server's keymap cannot be read; keys go by the one before it");
    } else {
        keymap_.reset(keymap);
        layout_ = XkbLayout(keymap_.get(), group_);
    }
    capsLockLight_ = indicatorBit(display_, "Caps Lock");
    numLockLight_ = indicatorBit(display_, "Num Lock");
    scrollLockLight_ = indicatorBit(display_, "Scroll Lock");
}

}  // namespace kivo
