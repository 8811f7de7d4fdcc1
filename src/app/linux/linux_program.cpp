#include "app/linux/linux_program.h"

#include "app/linux/edge_choice.h"

#include "kivo_version.h"
#include "platform/messages.h"
#include "window/qt/close_requests.h"

#include <sys/prctl.h>
#include <QDirIterator>
#include <QIcon>
#include <csignal>
#include <memory>
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

std::unique_ptr<Edge<Form1>> openChosenEdge(JoystickWatcher watchJoystick)
{
    const EdgeChoice choice = chooseEdge(currentSessionFacts());
    if (!choice.warning.empty())
        reportProblem(choice.warning);
    if (!choice.wayland)
        return openX11Edge(std::move(watchJoystick));
    if (auto wayland = openWaylandEdge(watchJoystick))
        return wayland;
    reportProblem("keys reach X11 programs only: the uinput keyboard could not be made (see above)");
    return openX11Edge(std::move(watchJoystick));
}

}  // namespace

OpenedProgram LinuxProgram::open(int& argc, char** argv, SingleInstance& instance, JoystickWatcher watchJoystick)
{
    // A save beyond the file size limit (ulimit -f) then fails with EFBIG and is reported,
    // instead of killing Kivo before it can say so.
    std::signal(SIGXFSZ, SIG_IGN);
    auto edge = openChosenEdge(std::move(watchJoystick));
    if (!edge)
        return {nullptr, kExitFailure};
    return {std::unique_ptr<LinuxProgram>(
        new LinuxProgram(defaultSettingsLocation(), instance, std::move(edge), argc, argv))};
}

LinuxProgram::LinuxProgram(SettingsLocation settings, SingleInstance& instance, std::unique_ptr<Edge<Form1>> edge,
                           int& argc, char** argv)
    : settings_(std::move(settings)), instance_(instance), application_(argc, argv), edge_(std::move(edge))
{
    // Qt names the X11 window class after the application: the desktop id, as the launcher's
    // StartupWMClass and the Wayland app_id have it, so that docks group the window with it.
    QApplication::setApplicationName(QStringLiteral(KIVO_APP_ID));
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
    session_ = std::make_unique<Session<Form1>>(*edge_, settings_);
    Form1& form = session_->form();
    closeOnSessionEnd(form);
    signals_ = std::make_unique<TerminationSignals>([&form] { form.closeForSystem(); });
    session_->show(instance_);
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
