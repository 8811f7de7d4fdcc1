#include "app/linux/window_loss.h"

#include <QCoreApplication>

#include <xcb/xcb.h>

#include <cstdlib>

namespace kivo {
namespace {

constexpr std::uint8_t kSentEventBit = 0x80;

// An allowed global (see the README): the exit-time hook registered with atexit() takes no
// argument, so this is how it finds the captions to save.
WindowLoss* active = nullptr;

}  // namespace

WindowLoss::WindowLoss(WindowLogic& logic, WindowHandle window) : logic_(logic), window_(window)
{
    static const bool registered = std::atexit(displayLost) == 0;
    (void)registered;
    active = this;
    QCoreApplication::instance()->installNativeEventFilter(this);
}

WindowLoss::~WindowLoss()
{
    if (auto* application = QCoreApplication::instance())
        application->removeNativeEventFilter(this);
    active = nullptr;
}

// Runs only while the window is still there: a normal end destroys this first. The exit
// status is already a failure, chosen by whoever called exit().
void WindowLoss::displayLost()
{
    if (active != nullptr)
        active->logic_.windowLost("the X display went away or the connection to it broke");
}

bool WindowLoss::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*)
{
    if (eventType != "xcb_generic_event_t")
        return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & ~kSentEventBit) != XCB_DESTROY_NOTIFY)
        return false;
    const auto* destroyed = static_cast<const xcb_destroy_notify_event_t*>(message);
    if (destroyed->window != window_)
        return false;
    if (const int status = logic_.windowLost("another program destroyed Kivo's window"); status != 0)
        QCoreApplication::exit(status);
    return false;
}

}  // namespace kivo
