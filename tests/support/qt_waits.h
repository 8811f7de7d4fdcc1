#pragma once

#include "support/waits.h"

#include <QCoreApplication>
#include <QEvent>

namespace kivo::test_support {

// The one wait, with Qt's events delivered while it lasts.
template <typename Happened>
bool waitWithEvents(Happened happened)
{
    return waitFor(happened, [] {
        QCoreApplication::processEvents(QEventLoop::AllEvents, static_cast<int>(kAskingPace.count()));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        pauseBeforeAsking();
    });
}

}  // namespace kivo::test_support
