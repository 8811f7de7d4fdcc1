#include "platform/x11/x11_connection.h"

#include "platform/x11/x11_error_guard.h"

#include <X11/XKBlib.h>
#include <X11/extensions/XInput2.h>

namespace kivo {

X11Connection::X11Connection(Display* display, int xkbEventBase, int xinputOpcode)
    : display_(display),
      xkbEventBase_(xkbEventBase),
      xinputOpcode_(xinputOpcode),
      root_(DefaultRootWindow(display)),
      activeWindow_(XInternAtom(display, "_NET_ACTIVE_WINDOW", False)),
      windowManagerCheck_(XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", False)),
      keymap_(display)
{
    guardAgainstErrors(display_);
    constexpr unsigned long kKeyboardEvents =
        XkbIndicatorStateNotifyMask | XkbMapNotifyMask | XkbNewKeyboardNotifyMask | XkbStateNotifyMask;
    XkbSelectEvents(display_, XkbUseCoreKbd, kKeyboardEvents, kKeyboardEvents);
    // Of the keyboard's state only a switch of the layout in use matters.
    XkbSelectEventDetails(display_, XkbUseCoreKbd, XkbStateNotify, XkbAllStateComponentsMask, XkbGroupStateMask);
    XkbGetIndicatorState(display_, XkbUseCoreKbd, &litIndicators_);

    // Raw key events reach the root whichever window has the focus; they only tell when the
    // keyboard state is worth asking for again.
    unsigned char rawKeys[XIMaskLen(XI_LASTEVENT)] = {};
    XISetMask(rawKeys, XI_RawKeyPress);
    XISetMask(rawKeys, XI_RawKeyRelease);
    XIEventMask keyMask{XIAllMasterDevices, sizeof rawKeys, rawKeys};
    XISelectEvents(display_, root_, &keyMask, 1);

    // Focus moving between top-level windows is reported only to those windows, so every
    // top-level window is watched; new ones are announced to the root before they can take focus.
    XSelectInput(display_, root_, PropertyChangeMask | SubstructureNotifyMask | FocusChangeMask);
    Window rootReturn = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    if (XQueryTree(display_, root_, &rootReturn, &parent, &children, &count)) {
        for (unsigned i = 0; i < count; ++i) {
            watchFocusOf(children[i]);
        }
        XFree(children);
    }
    XFlush(display_);
}

X11Connection::~X11Connection()
{
    XCloseDisplay(display_);
    stopGuarding(display_);
}

void X11Connection::readEvents()
{
    while (XEventsQueued(display_, QueuedAfterReading) > 0) {
        XEvent event;
        XNextEvent(display_, &event);
        handle(event);
    }
}

void X11Connection::handle(const XEvent& event)
{
    switch (event.type) {
        case CreateNotify:
            if (event.xcreatewindow.parent == root_) {
                watchFocusOf(event.xcreatewindow.window);
            }
            ++focusChanges_;
            break;
        case FocusIn:
        case FocusOut:
        case DestroyNotify:
        case ReparentNotify:
            ++focusChanges_;
            break;
        case GenericEvent:
            if (event.xcookie.extension == xinputOpcode_) {
                ++keyChanges_;
            }
            break;
        case PropertyNotify:
            if (event.xproperty.atom == activeWindow_ || event.xproperty.atom == windowManagerCheck_) {
                ++focusChanges_;
            }
            break;
        default:
            if (event.type == xkbEventBase_) {
                const int xkbType = reinterpret_cast<const XkbAnyEvent&>(event).xkb_type;
                if (xkbType == XkbIndicatorStateNotify) {
                    litIndicators_ = reinterpret_cast<const XkbIndicatorNotifyEvent&>(event).state;
                } else if (xkbType == XkbMapNotify || xkbType == XkbNewKeyboardNotify) {
                    keymap_.keymapChanged();
                } else if (xkbType == XkbStateNotify) {
                    keymap_.groupChanged(reinterpret_cast<const XkbStateNotifyEvent&>(event).group);
                }
            }
            break;
    }
}

void X11Connection::watchFocusOf(Window topLevel)
{
    XSelectInput(display_, topLevel, FocusChangeMask);
}

}  // namespace kivo
