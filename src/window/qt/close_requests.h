#pragma once

#include "window/qt/termination_signals.h"

#include <QWidget>

namespace kivo {

// Closes the window the way its close box does, so the captions are saved, when the desktop
// session ends, when the event loop is asked to quit, or on SIGTERM, SIGHUP or SIGINT.
class CloseRequests {
public:
    explicit CloseRequests(QWidget& window);

private:
    TerminationSignals signals_;
};

}  // namespace kivo
