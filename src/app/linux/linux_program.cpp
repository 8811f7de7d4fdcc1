#include "app/linux/linux_program.h"

#include "kivo_version.h"
#include "settings/location.h"

#include <sys/prctl.h>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <utility>

namespace kivo {

namespace {

constexpr int kExitCannotStart = 1;

}  // namespace

OpenedProgram LinuxProgram::open(int& argc, char** argv)
{
    const char* display = std::getenv("DISPLAY");
    if (display == nullptr || *display == '\0') {
        std::fputs("kivo: no X display (DISPLAY is not set); Kivo needs an X11 session or XWayland\n", stderr);
        return {nullptr, kExitCannotStart};
    }
    // A save beyond the file size limit (ulimit -f) then fails with EFBIG and is reported,
    // instead of killing Kivo before it can say so.
    std::signal(SIGXFSZ, SIG_IGN);
    SettingsLocation settings = defaultSettingsLocation();
    InstanceClaim claim = SingleInstance::claim(settings.writeTo, SingleInstance::socketFolder());
    if (!claim.instance)
        return {nullptr, claim.runningKivoRaised ? 0 : kExitCannotStart};
    auto x11 = openX11Services(display);
    if (!x11)
        return {nullptr, kExitCannotStart};
    // Kivo compares its own X window with the one holding the input focus, so its window must
    // be an X window even in a Wayland session.
    qputenv("QT_QPA_PLATFORM", "xcb");
    return {std::unique_ptr<LinuxProgram>(
        new LinuxProgram(std::move(settings), std::move(claim.instance), std::move(x11), argc, argv))};
}

LinuxProgram::LinuxProgram(SettingsLocation settings, std::unique_ptr<SingleInstance> instance,
                           std::unique_ptr<X11Services> x11, int& argc, char** argv)
    : settings_(std::move(settings)),
      instance_(std::move(instance)),
      x11_(std::move(x11)),
      joystick_(makeSdlJoystick()),
      application_(argc, argv)
{
    QApplication::setApplicationName("Kivo");
    QApplication::setApplicationVersion(QStringLiteral(KIVO_VERSION));
    QApplication::setDesktopFileName("kivo");
    // Timer1 is due every millisecond; the kernel's default 50 µs of timer slack would make
    // every tick, and so every key, that much later.
    prctl(PR_SET_TIMERSLACK, 1UL);
}

LinuxProgram::~LinuxProgram() = default;

void LinuxProgram::showWindow()
{
    const InputServices services{*joystick_, x11_->keyboard(), x11_->foreground(), x11_->sender()};
    wakeUps_ = std::make_unique<LinuxWakeUps>(*x11_);
    auto wake = [wakeUps = wakeUps_.get()] { wakeUps->wake(); };
    wakeUps_->watchJoystick(joystickActivity_ >= 0 ? watchJoystickActivity(joystickActivity_, wake)
                                                   : watchJoystickNode(*joystick_, wake));
    form_ = std::make_unique<Form1>();
    logic_ = std::make_unique<WindowLogic>(*form_, services, selected_, settings_);
    logic_->sleepBetweenWakeUps(*wakeUps_);
    // Start-up runs before the window is first shown.
    logic_->load();
    closeOnSessionEnd(*form_);
    signals_ = std::make_unique<TerminationSignals>([form = form_.get()] { form->close(); });
    windowLoss_ = std::make_unique<WindowLoss>(*logic_, form_->nativeHandle());
    form_->show();
    bringToFront();
    instance_->listen([this] { bringToFront(); });
}

void LinuxProgram::bringToFront()
{
    form_->raise();
    form_->activateWindow();
}

WindowHandle LinuxProgram::windowId() const
{
    return form_ ? form_->nativeHandle() : 0;
}

int LinuxProgram::run()
{
    return QApplication::exec();
}

}  // namespace kivo
