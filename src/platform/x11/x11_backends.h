#pragma once

#include "platform/input_services.h"
#include "platform/x11/x11_connection.h"

#include <memory>

namespace kivo {

// The services over a shared connection, which must outlive them.
std::unique_ptr<Keyboard> makeX11Keyboard(X11Connection& connection);
std::unique_ptr<ForegroundWindow> makeX11Foreground(X11Connection& connection);
std::unique_ptr<KeySender> makeXTestKeySender(X11Connection& connection);

}  // namespace kivo
