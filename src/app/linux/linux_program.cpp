#include "app/linux/linux_program.h"

#include "app/linux/edge_choice.h"
#include "app/linux/termination_signals.h"
#include "app/session.h"

#include "kivo_version.h"
#include "platform/dbus/session_bus.h"
#include "platform/messages.h"
#include "window/exit_status.h"
#include "window/qt/close_requests.h"

#include <sys/prctl.h>
#include <QApplication>
#include <QDirIterator>
#include <QIcon>
#include <csignal>
#include <memory>
#include <optional>
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

std::unique_ptr<Edge<Form1>> openChosenEdge(const LinuxJoystick& joystick)
{
    const EdgeChoice choice = chooseEdge(currentSessionFacts());
    if (!choice.warning.empty())
        reportProblem(choice.warning);
    if (!choice.wayland)
        return openX11Edge(joystick);
    if (auto wayland = openWaylandEdge(joystick))
        return wayland;
    reportProblem("keys reach X11 programs only: the uinput keyboard could not be made (see above)");
    return openX11Edge(joystick);
}

}  // namespace

int runLinuxKivo(int& argc, char** argv, SingleInstance& instance, const StartRequest& request,
                 const LinuxHostHooks& hooks)
{
    // A save beyond the file size limit (ulimit -f) then fails with EFBIG and is reported,
    // instead of killing Kivo before it can say so.
    std::signal(SIGXFSZ, SIG_IGN);
    shutOutASlowSessionBus();
    // Made once the edge has chosen Qt's platform, and gone after the edge, whose wake-ups it runs.
    std::optional<QApplication> application;
    const std::unique_ptr<Edge<Form1>> edge = openChosenEdge({request.joystick, hooks.watchJoystick, {}});
    if (!edge)
        return kExitFailure;
    application.emplace(argc, argv);
    // Qt names the X11 window class after the application: the desktop id, as the launcher's
    // StartupWMClass and the Wayland app_id have it, so that docks group the window with it.
    QApplication::setApplicationName(QStringLiteral(KIVO_APP_ID));
    QApplication::setApplicationVersion(QStringLiteral(KIVO_VERSION));
    QApplication::setDesktopFileName(QStringLiteral(KIVO_APP_ID));
    QApplication::setWindowIcon(bundledIcon());
    // Timer1 is due every millisecond; the kernel's default 50 µs of timer slack would make
    // every tick, and so every key, that much later.
    prctl(PR_SET_TIMERSLACK, 1UL);
    if (hooks.joystickOpened)
        hooks.joystickOpened();
    // Started from the desktop's menu, Kivo has no terminal to show start-up problems on.
    Session<Form1> session(*edge, defaultSettingsLocation(), StartUpProblems::InABoxToo, request.holdKeys);
    Form1& form = session.form();
    closeOnSessionEnd(form);
    const TerminationSignals termination([&form] { form.closeForSystem(); });
    session.show(instance);
    if (hooks.windowShown)
        hooks.windowShown(form);
    return QApplication::exec();
}

}  // namespace kivo
