#include "app/linux/linux_program.h"

#include "kivo_version.h"
#include "platform/messages.h"
#include "window/exit_status.h"
#include "window/qt/close_requests.h"

#include <sys/prctl.h>
#include <QDirIterator>
#include <QIcon>
#include <csignal>
#include <cstdlib>
#include <utility>

namespace kivo {
namespace {

// Every size of the icon compiled into the program, so that the window manager and the task bar
// show Kivo's own icon whether or not Kivo is installed.
QIcon bundledIcon()
{
    QIcon icon;
    QDirIterator sizes(QStringLiteral(":/hicolor"), {QStringLiteral("kivo.png")}, QDir::Files,
                       QDirIterator::Subdirectories);
    while (sizes.hasNext())
        icon.addFile(sizes.next());
    return icon;
}

}  // namespace

namespace {

std::unique_ptr<JoystickWatch> watchDeviceNode(const SdlJoystick& joystick, std::function<void()> changed)
{
    return watchJoystickNode(joystick, std::move(changed));
}

}  // namespace

OpenedProgram LinuxProgram::open(int& argc, char** argv, JoystickWatcher watchJoystick)
{
    const char* display = std::getenv("DISPLAY");
    if (display == nullptr || *display == '\0') {
        reportProblem("no X display (DISPLAY is not set); Kivo needs an X11 session or XWayland");
        return {nullptr, kExitFailure};
    }
    // A save beyond the file size limit (ulimit -f) then fails with EFBIG and is reported,
    // instead of killing Kivo before it can say so.
    std::signal(SIGXFSZ, SIG_IGN);
    SettingsLocation settings = defaultSettingsLocation();
    InstanceClaim claim = SingleInstance::claim(settings.writeTo, SingleInstance::socketFolder());
    if (!claim.instance)
        return {nullptr, claim.runningKivoRaised ? kExitSuccess : kExitFailure};
    auto x11 = openX11Services(display);
    if (!x11)
        return {nullptr, kExitFailure};
    // Kivo compares its own X window with the one holding the input focus, so its window must
    // be an X window even in a Wayland session.
    qputenv("QT_QPA_PLATFORM", "xcb");
    return {std::unique_ptr<LinuxProgram>(new LinuxProgram(std::move(settings), std::move(claim.instance),
                                                           std::move(x11), std::move(watchJoystick), argc, argv))};
}

LinuxProgram::LinuxProgram(SettingsLocation settings, std::unique_ptr<SingleInstance> instance,
                           std::unique_ptr<X11Services> x11, JoystickWatcher watchJoystick, int& argc, char** argv)
    : settings_(std::move(settings)),
      instance_(std::move(instance)),
      x11_(std::move(x11)),
      joystick_(makeSdlJoystick()),
      watchJoystick_(watchJoystick ? std::move(watchJoystick) : watchDeviceNode),
      application_(argc, argv)
{
    QApplication::setApplicationName("Kivo");
    QApplication::setApplicationVersion(QStringLiteral(KIVO_VERSION));
    QApplication::setDesktopFileName(QStringLiteral(KIVO_APP_ID));
    QApplication::setWindowIcon(bundledIcon());
    // Timer1 is due every millisecond; the kernel's default 50 µs of timer slack would make
    // every tick, and so every key, that much later.
    prctl(PR_SET_TIMERSLACK, 1UL);
}

LinuxProgram::~LinuxProgram() = default;

void LinuxProgram::showWindow()
{
    wakeUps_ = std::make_unique<LinuxWakeUps>(*x11_);
    wakeUps_->watchJoystick(watchJoystick_(*joystick_, [wakeUps = wakeUps_.get()] { wakeUps->wake(); }));
    session_ = std::make_unique<Session<Form1>>(
        InputServices{*joystick_, x11_->keyboard(), x11_->foreground(), x11_->sender()}, settings_, wakeUps_.get());
    Form1& form = session_->form();
    closeOnSessionEnd(form);
    signals_ = std::make_unique<TerminationSignals>([&form] { form.closeForSystem(); });
    windowLoss_ = std::make_unique<WindowLoss>(session_->logic(), form.nativeHandle());
    form.show();
    bringToFront();
    instance_->listen([this] { bringToFront(); });
}

void LinuxProgram::bringToFront()
{
    session_->form().raise();
    session_->form().activateWindow();
}

WindowHandle LinuxProgram::windowId() const
{
    return session_ ? session_->form().nativeHandle() : 0;
}

int LinuxProgram::run()
{
    return QApplication::exec();
}

}  // namespace kivo
