#include "platform/x11/x11_backends.h"

#include <X11/Xatom.h>

#include <optional>

namespace kivo {
namespace {

std::optional<Window> windowProperty(Display* display, Window window, Atom property)
{
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long remaining = 0;
    unsigned char* data = nullptr;
    const int status = XGetWindowProperty(display, window, property, 0, 1, False, XA_WINDOW, &type, &format, &count,
                                          &remaining, &data);
    std::optional<Window> value;
    if (status == Success && type == XA_WINDOW && format == 32 && count == 1) {
        value = *reinterpret_cast<const Window*>(data);
    }
    if (data != nullptr) {
        XFree(data);
    }
    return value;
}

class X11Foreground final : public ForegroundWindow {
public:
    explicit X11Foreground(X11Connection& connection) : connection_(connection) {}

    // Asks the server only when an event said the answer may have changed.
    WindowHandle current() override
    {
        connection_.readEvents();
        if (seenChanges_ != connection_.focusChanges()) {
            seenChanges_ = connection_.focusChanges();
            foreground_ = lookUp();
        }
        return foreground_;
    }

private:
    WindowHandle lookUp() const
    {
        if (const std::optional<Window> active = activeWindowOfWindowManager()) {
            return *active;
        }
        Window focus = None;
        int revertTo = 0;
        XGetInputFocus(connection_.display(), &focus, &revertTo);
        if (focus == None || focus == PointerRoot) {
            return 0;
        }
        return topLevelOf(focus);
    }

    // A running window manager names the active client window; one that has gone away
    // leaves a stale property behind, so its check window must still point at itself.
    std::optional<Window> activeWindowOfWindowManager() const
    {
        Display* display = connection_.display();
        const Atom check = connection_.windowManagerCheckAtom();
        const std::optional<Window> checkWindow = windowProperty(display, connection_.root(), check);
        if (!checkWindow || windowProperty(display, *checkWindow, check) != checkWindow) {
            return std::nullopt;
        }
        return windowProperty(display, connection_.root(), connection_.activeWindowAtom());
    }

    // Without a window manager the top-level window is the child of the root holding the focus.
    WindowHandle topLevelOf(Window window) const
    {
        while (window != connection_.root()) {
            Window root = 0;
            Window parent = 0;
            Window* children = nullptr;
            unsigned count = 0;
            if (!XQueryTree(connection_.display(), window, &root, &parent, &children, &count)) {
                return 0;
            }
            if (children != nullptr) {
                XFree(children);
            }
            if (parent == connection_.root()) {
                return window;
            }
            window = parent;
        }
        return 0;
    }

    X11Connection& connection_;
    std::optional<std::uint64_t> seenChanges_;
    WindowHandle foreground_ = 0;
};

}  // namespace

std::unique_ptr<ForegroundWindow> makeX11Foreground(X11Connection& connection)
{
    return std::make_unique<X11Foreground>(connection);
}

}  // namespace kivo
