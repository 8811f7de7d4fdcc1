#include "app/linux/linux_program.h"

#include "app/linux/edge_choice.h"
#include "app/linux/single_instance.h"

#include "kivo_version.h"
#include "platform/messages.h"
#include "window/exit_status.h"
#include "window/qt/close_requests.h"

#include <sys/prctl.h>
#include <QDirIterator>
#include <QGuiApplication>
#include <QIcon>
#include <QTimer>
#include <QWindow>
#include <csignal>
#include <cstdlib>
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

OpenedProgram LinuxProgram::open(int& argc, char** argv, JoystickWatcher watchJoystick)
{
    // A save beyond the file size limit (ulimit -f) then fails with EFBIG and is reported,
    // instead of killing Kivo before it can say so.
    std::signal(SIGXFSZ, SIG_IGN);
    SettingsLocation settings = defaultSettingsLocation();
    InstanceClaim claim = claimSingleInstance(settings.writeTo);
    if (!claim.instance)
        return {nullptr, kExitSuccess};
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
      watchJoystick_(
          watchJoystick
              ? std::move(watchJoystick)
              : [](const SdlJoystick& joystick,
                   std::function<void()> changed) { return watchJoystickNode(joystick, std::move(changed)); }),
      application_(argc, argv)
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
    wakeUps_ = edge_->makeWakeUps();
    wakeUps_->watchJoystick(watchJoystick_(*joystick_, [wakeUps = wakeUps_.get()] { wakeUps->wake(); }));
    session_ = std::make_unique<Session<Form1>>(
        InputServices{*joystick_, edge_->keyboard(), edge_->foreground(), edge_->sender()}, settings_, wakeUps_.get());
    Form1& form = session_->form();
    closeOnSessionEnd(form);
    signals_ = std::make_unique<TerminationSignals>([&form] { form.closeForSystem(); });
    windowHooks_ = edge_->attachWindow(form, session_->logic());
    form.show();
    comeToFront({}, {});
    instance_->listen(
        [this](const std::string& token, SingleInstance::Answer answer) { comeToFront(token, std::move(answer)); });
}

void LinuxProgram::comeToFront(const std::string& activationToken, SingleInstance::Answer answer)
{
    Form1& form = session_->form();
    // Raising a minimised window leaves it minimised.
    form.setWindowState(form.windowState() & ~Qt::WindowMinimized);
    edge_->activate(form, activationToken);
    if (answer)
        answerOnceActive(*form.windowHandle(), std::move(answer), LinuxSingleInstance::kActivationWait);
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
