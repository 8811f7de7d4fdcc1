#pragma once

#include "platform/input_services.h"

#include <memory>
#include <string>

namespace kivo {

// Keyboard state, foreground window and key sending over one X display connection.
// Like the rest of Kivo, it is used from one thread only.
class X11Services {
public:
    virtual ~X11Services() = default;
    virtual Keyboard& keyboard() = 0;
    virtual ForegroundWindow& foreground() = 0;
    virtual KeySender& sender() = 0;

    // The connection's socket, readable when an event arrives: the input focus or the active
    // window moving, a key going down anywhere.
    virtual int eventSocket() const = 0;
    // Handles every event that has arrived, so the socket is quiet until the next one.
    virtual void readEvents() = 0;
    // Sends the requests still buffered; true when events have been read from the socket but
    // not yet handled, events that a quiet socket no longer announces.
    virtual bool eventsWaiting() = 0;
};

// Opens the display (an empty name means $DISPLAY). When it cannot be opened or lacks the
// XTEST or XKEYBOARD extension, says so on standard error and returns nullptr.
std::unique_ptr<X11Services> openX11Services(const std::string& displayName);

}  // namespace kivo
