#include "app/linux/linux_edge.h"

#include "app/single_instance.h"

#include <QGuiApplication>
#include <QTimer>
#include <QWindow>

#include <utility>

namespace kivo {
namespace {

// Answers as soon as the window is active (a question it shows counts), or once the wait is over.
void answerOnceActive(QWindow& window, SingleInstance::Answer answer, std::chrono::milliseconds wait)
{
    if (window.isActive())
        return answer(true);
    auto pending = std::make_shared<SingleInstance::Answer>(std::move(answer));
    auto* watch = new QObject(&window);
    const auto settle = [pending, watch](bool active) {
        if (const SingleInstance::Answer now = std::exchange(*pending, nullptr)) {
            now(active);
            watch->deleteLater();
        }
    };
    QObject::connect(qGuiApp, &QGuiApplication::focusWindowChanged, watch, [&window, settle] {
        if (window.isActive())
            settle(true);
    });
    QTimer::singleShot(wait, watch, [settle] { settle(false); });
}

}  // namespace

LinuxEdge::LinuxEdge(const LinuxJoystick& joystick)
    : joystick_(joystick.open ? joystick.open(joystick.choice) : makeSdlJoystick(joystick.choice)),
      watchJoystick_(joystick.watch ? joystick.watch : [](const SdlJoystick& sdl) { return watchJoystickNode(sdl); })
{
}

std::unique_ptr<WindowHook> LinuxEdge::showWindow(Form1& form, WindowLogic& logic)
{
    joystickWatch_ = watchJoystick_(*joystick_);
    if (joystickWatch_)
        joystickWakeUps_ = std::make_unique<DescriptorWakeUps>(*joystickWatch_, [this] { wake(); });
    std::unique_ptr<WindowHook> hook = attachWindow(form, logic);
    form.show();
    comeToFront(form, {}, {});
    return hook;
}

bool LinuxEdge::armForNextChange()
{
    if (!joystickWatch_)
        return false;
    const bool armed = joystickWatch_->armForNextChange();
    joystickWakeUps_->rebind();
    return armed && armForOtherWindows();
}

void LinuxEdge::comeToFront(Form1& form, const LaunchTokens& tokens, SingleInstance::Answer answer)
{
    // Raising a minimised window leaves it minimised.
    form.setWindowState(form.windowState() & ~Qt::WindowMinimized);
    activate(form, tokens);
    if (answer)
        answerOnceActive(*form.windowHandle(), std::move(answer), kActivationWait);
}

}  // namespace kivo
