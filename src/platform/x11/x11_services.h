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
};

// Opens the display (an empty name means $DISPLAY). When it cannot be opened or lacks the
// XTEST or XKEYBOARD extension, says so on standard error and returns nullptr.
std::unique_ptr<X11Services> openX11Services(const std::string& displayName);

}  // namespace kivo
