#include "platform/x11/x11_services.h"

#include "platform/messages.h"
#include "platform/x11/x11_backends.h"

#include <X11/XKBlib.h>
#include <X11/extensions/XInput2.h>
#include <X11/extensions/XTest.h>

namespace kivo {
namespace {

// Members are destroyed last first, so the services go before the connection they use.
class X11ServiceSet final : public X11Services {
public:
    X11ServiceSet(Display* display, int xkbEventBase, int xinputOpcode)
        : connection_(display, xkbEventBase, xinputOpcode),
          keyboard_(makeX11Keyboard(connection_)),
          foreground_(makeX11Foreground(connection_)),
          sender_(makeXTestKeySender(connection_))
    {
    }

    Keyboard& keyboard() override { return *keyboard_; }
    ForegroundWindow& foreground() override { return *foreground_; }
    KeySender& sender() override { return *sender_; }

    int eventSocket() const override { return ConnectionNumber(connection_.display()); }
    void readEvents() override { connection_.readEvents(); }
    bool eventsWaiting() override
    {
        XFlush(connection_.display());
        return XEventsQueued(connection_.display(), QueuedAlready) > 0;
    }

private:
    X11Connection connection_;
    std::unique_ptr<Keyboard> keyboard_;
    std::unique_ptr<ForegroundWindow> foreground_;
    std::unique_ptr<KeySender> sender_;
};

std::string shownName(const std::string& displayName)
{
    if (!displayName.empty()) {
        return displayName;
    }
    const char* fromEnvironment = XDisplayName(nullptr);
    return *fromEnvironment != '\0' ? fromEnvironment : "(DISPLAY is not set)";
}

}  // namespace

std::unique_ptr<X11Services> openX11Services(const std::string& displayName)
{
    Display* display = XOpenDisplay(displayName.empty() ? nullptr : displayName.c_str());
    if (display == nullptr) {
        reportProblem("cannot open the X display " + shownName(displayName));
        return nullptr;
    }
    int eventBase = 0;
    int errorBase = 0;
    int major = 0;
    int minor = 0;
    int xkbOpcode = 0;
    int xkbEventBase = 0;
    int xkbMajor = XkbMajorVersion;
    int xkbMinor = XkbMinorVersion;
    int xinputOpcode = 0;
    int xinputMajor = 2;
    int xinputMinor = 0;
    const char* missing = nullptr;
    if (!XTestQueryExtension(display, &eventBase, &errorBase, &major, &minor)) {
        missing = "XTEST";
    } else if (!XkbQueryExtension(display, &xkbOpcode, &xkbEventBase, &errorBase, &xkbMajor, &xkbMinor)) {
        missing = "XKEYBOARD";
    } else if (!XQueryExtension(display, "XInputExtension", &xinputOpcode, &eventBase, &errorBase) ||
               XIQueryVersion(display, &xinputMajor, &xinputMinor) != Success) {
        missing = "XInputExtension 2";
    }
    if (missing != nullptr) {
        reportProblem("the X display " + shownName(displayName) + " lacks the " + missing +
                      " extension needed to read and type keys");
        XCloseDisplay(display);
        return nullptr;
    }
    return std::make_unique<X11ServiceSet>(display, xkbEventBase, xinputOpcode);
}

}  // namespace kivo
