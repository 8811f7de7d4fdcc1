#include "app/linux/linux_edge.h"
#include "app/linux/window_loss.h"
#include "platform/messages.h"
#include "platform/x11/startup_notification.h"
#include "platform/x11/x11_services.h"

#include <QGuiApplication>
#include <QSocketNotifier>

#include <cstdlib>

namespace kivo {
namespace {

class X11Edge final : public LinuxEdge {
public:
    X11Edge(std::unique_ptr<X11Services> x11, const LinuxJoystick& joystick) : LinuxEdge(joystick), x11_(std::move(x11))
    {
    }

    InputServices services() override { return {joystick(), x11_->keyboard(), x11_->foreground(), x11_->sender()}; }

private:
    // Events already read from the socket would no longer make it readable, so they keep the
    // ticks going until a tick has handled them.
    bool armForOtherWindows() override
    {
        if (x11_->eventsWaiting())
            return false;
        x11Socket_->setEnabled(true);
        return true;
    }

    std::unique_ptr<WindowHook> attachWindow(Form1& form, WindowLogic& logic) override
    {
        // The connection's events tell which window is in front.
        x11Socket_ = std::make_unique<QSocketNotifier>(x11_->eventSocket(), QSocketNotifier::Read);
        x11Socket_->setEnabled(false);
        QObject::connect(x11Socket_.get(), &QSocketNotifier::activated, [this] {
            // While the ticks run they read the events themselves.
            x11Socket_->setEnabled(false);
            x11_->readEvents();
            wake();
        });
        return std::make_unique<WindowLoss>(logic, form.nativeHandle());
    }

    void activate(QWidget& window, const LaunchTokens& tokens) override
    {
        window.raise();
        window.activateWindow();
        auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
        if (!tokens.startupId.empty() && x11 != nullptr)
            activateForStartup(x11->connection(), static_cast<xcb_window_t>(window.winId()), tokens.startupId);
    }

    std::unique_ptr<X11Services> x11_;
    std::unique_ptr<QSocketNotifier> x11Socket_;
};

}  // namespace

std::unique_ptr<Edge<Form1>> openX11Edge(const LinuxJoystick& joystick)
{
    const char* display = std::getenv("DISPLAY");
    if (display == nullptr || *display == '\0') {
        reportProblem("no X display (DISPLAY is not set); Kivo needs an X11 session or XWayland");
        return nullptr;
    }
    auto x11 = openX11Services(display);
    if (!x11)
        return nullptr;
    // Kivo compares its own X window with the one holding the input focus, so its window must
    // be an X window even in a Wayland session.
    qputenv("QT_QPA_PLATFORM", "xcb");
    return std::make_unique<X11Edge>(std::move(x11), joystick);
}

}  // namespace kivo
