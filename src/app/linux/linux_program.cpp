#include "app/linux/linux_program.h"

#include "app/linux/edge_choice.h"

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

std::unique_ptr<JoystickWatch> watchDeviceNode(const SdlJoystick& joystick, std::function<void()> changed)
{
    return watchJoystickNode(joystick, std::move(changed));
}

std::unique_ptr<InputEdge> openChosenEdge()
{
    const EdgeChoice choice = chooseEdge(currentSessionFacts());
    if (!choice.warning.empty())
        reportProblem(choice.warning);
    if (!choice.wayland)
        return openX11Edge();
    if (auto wayland = openWaylandEdge())
        return wayland;
    reportProblem("keys reach X11 programs only: the uinput keyboard could not be made (see above)");
    return openX11Edge();
}

}  // namespace

OpenedProgram LinuxProgram::open(int& argc, char** argv, JoystickWatcher watchJoystick)
{
    // A save beyond the file size limit (ulimit -f) then fails with EFBIG and is reported,
    // instead of killing Kivo before it can say so.
    std::signal(SIGXFSZ, SIG_IGN);
    SettingsLocation settings = defaultSettingsLocation();
    InstanceClaim claim = claimSingleInstance(settings.writeTo);
    if (!claim.instance)
        return {nullptr, claim.runningKivoRaised ? kExitSuccess : kExitFailure};
    auto edge = openChosenEdge();
    if (!edge)
        return {nullptr, kExitFailure};
    return {std::unique_ptr<LinuxProgram>(new LinuxProgram(std::move(settings), std::move(claim.instance),
                                                           std::move(edge), std::move(watchJoystick), argc, argv))};
}

LinuxProgram::LinuxProgram(SettingsLocation settings, std::unique_ptr<SingleInstance> instance,
                           std::unique_ptr<InputEdge> edge, JoystickWatcher watchJoystick, int& argc, char** argv)
    : settings_(std::move(settings)),
      instance_(std::move(instance)),
      edge_(std::move(edge)),
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
    wakeUps_ = edge_->makeWakeUps();
    wakeUps_->watchJoystick(watchJoystick_(*joystick_, [wakeUps = wakeUps_.get()] { wakeUps->wake(); }));
    session_ = std::make_unique<Session<Form1>>(
        InputServices{*joystick_, edge_->keyboard(), edge_->foreground(), edge_->sender()}, settings_, wakeUps_.get());
    Form1& form = session_->form();
    closeOnSessionEnd(form);
    signals_ = std::make_unique<TerminationSignals>([&form] { form.closeForSystem(); });
    windowHooks_ = edge_->attachWindow(form, session_->logic());
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
