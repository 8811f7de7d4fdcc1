#include "window/qt/form1.h"

#include "platform/windows1252.h"
#include "window/qt/widget_design.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QWindow>

namespace kivo {

namespace {

QFont designFont()
{
    const QString family = QFontDatabase::hasFamily(design::kFontFamily)
                               ? fromUtf8(design::kFontFamily)
                               : QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
    QFont font(family);
    font.setPointSizeF(design::kFontPointSize);
    return font;
}

}  // namespace

Form1::Form1()
{
    setObjectName(QStringLiteral("Form1"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    setWindowTitle(fromUtf8(design::kTitle));
    setFont(designFont());
    paintBackground(this, QColor(design::kFormBackground));
    if (const QScreen* display = screen()) {
        dpiX_ = display->logicalDotsPerInchX();
        dpiY_ = display->logicalDotsPerInchY();
    }
    buildControls();
    applyClientSize();

    timer1_.setParent(this);
    timer1_.setObjectName(QStringLiteral("Timer1"));
    timer1_.setTimerType(Qt::PreciseTimer);
    timer1_.setInterval(design::kTimerIntervalMs);
    connect(&timer1_, &QTimer::timeout, this, [this] {
        if (!listeners_.logic)
            return;
        tick([this] { listeners_.logic->timerTicked(); });
    });
}

bool Form1::askYesNo(std::string_view question)
{
    QMessageBox box(QMessageBox::Question, fromUtf8(design::kProgramName), fromUtf8(question),
                    QMessageBox::Yes | QMessageBox::No, this);
    box.setDefaultButton(QMessageBox::Yes);
    box.setWindowModality(Qt::ApplicationModal);
    return box.exec() != QMessageBox::No;
}

void Form1::showProblem(std::string_view message)
{
    QMessageBox box(QMessageBox::Warning, fromUtf8(design::kProgramName), fromUtf8(message), QMessageBox::Ok, this);
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}

bool Form1::ownWindowActive() const
{
    return QGuiApplication::applicationState() == Qt::ApplicationActive;
}

void Form1::setTitle(std::string_view title)
{
    setWindowTitle(fromUtf8(title));
}

void Form1::notify(std::string_view summary, std::string_view body)
{
    notification_.show(fromUtf8(summary), fromUtf8(body));
}

void Form1::focusCommand3()
{
    command3_->setFocus(Qt::OtherFocusReason);
}

void Form1::setTimerEnabled(bool enabled)
{
    if (enabled)
        timer1_.start();
    else
        timer1_.stop();
}

void Form1::watchFiles(const std::vector<std::filesystem::path>& files)
{
    fileWatch_.watch(files);
}

void Form1::leaveEventLoop(int exitCode)
{
    timer1_.stop();
    hide();
    QCoreApplication::exit(exitCode);
}

WindowHandle Form1::nativeHandle() const
{
    return static_cast<WindowHandle>(winId());
}

void Form1::closeForSystem()
{
    closingForSystem_ = true;
    close();
}

void Form1::observeInput(WindowInputObserver* observer)
{
    listeners_.input = observer;
    // The window's own QWindow sees every key event once, before it goes to the focused control.
    winId();
    windowHandle()->installEventFilter(this);
}

bool Form1::event(QEvent* event)
{
    const bool handled = QWidget::event(event);
    const bool activated = event->type() == QEvent::WindowActivate;
    if (activated || event->type() == QEvent::WindowDeactivate)
        listeners_.activeChanged(activated);
    return handled;
}

bool Form1::eventFilter(QObject* watched, QEvent* event)
{
    const bool pressed = event->type() == QEvent::KeyPress;
    if ((pressed || event->type() == QEvent::KeyRelease) && listeners_.input) {
        const auto* key = static_cast<const QKeyEvent*>(event);
        if (!key->isAutoRepeat())
            listeners_.input->keyEvent(key->nativeScanCode(), pressed, key->nativeModifiers(), key->nativeVirtualKey());
    }
    return QWidget::eventFilter(watched, event);
}

void Form1::closeEvent(QCloseEvent* event)
{
    if (listeners_.logic)
        listeners_.logic->closed(closingForSystem_ ? ClosedBy::System : ClosedBy::User);
    event->accept();
}

}  // namespace kivo
