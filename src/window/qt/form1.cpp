#include "window/qt/form1.h"

#include "platform/windows1252.h"
#include "window/rounding.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QWindow>

#include <algorithm>

namespace kivo {

namespace {

// The design's texts and messages are UTF-8, and captions Windows-1252 bytes everywhere but on the screen.
QString fromUtf8(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QFont designFont()
{
    const QString family = QFontDatabase::hasFamily(design::kFontFamily)
                               ? fromUtf8(design::kFontFamily)
                               : QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
    QFont font(family);
    font.setPointSizeF(design::kFontPointSize);
    return font;
}

void paintBackground(QWidget* widget, const QColor& background)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, background);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
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

void Form1::buildControls()
{
    // Created in the tab order of the design.
    addLabel(design::kButtonLabel0Caption, design::kButtonLabel0).control->show();

    QLabel* label1 = addFixedLabel("Label1", design::kLabel1Caption, design::kLabel1);
    QFont bold = label1->font();
    bold.setBold(true);
    label1->setFont(bold);

    command1_ = addButton("Command1", design::kCommand1Caption, design::kCommand1);
    command3_ = addButton("Command3", design::kCommand3Caption, design::kCommand3);
    command4_ = addButton("Command4", design::kCommand4Caption, design::kCommand4);
    addInstructions();
    addHoldKeysSwitch();

    setTabOrder(command1_, command3_);
    setTabOrder(command3_, command4_);
    connect(command1_, &QPushButton::clicked, this, [this] {
        if (listeners_.logic)
            listeners_.logic->quitClicked();
    });
    connect(command4_, &QPushButton::clicked, this, [this] {
        if (listeners_.logic)
            listeners_.logic->clearClicked();
    });
}

QLabel* Form1::addFixedLabel(const char* name, const char* caption, TwipsRect rect)
{
    auto* label = new QLabel(fromUtf8(caption), this);
    label->setObjectName(fromUtf8(name));
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // Labels are opaque in the system's button colour, not see-through onto the form.
    paintBackground(label, QApplication::palette().color(QPalette::Button));
    place(label, rect);
    return label;
}

void Form1::addInstructions()
{
    QLabel* label2 = addFixedLabel("Label2", design::kLabel2Caption, design::kLabel2);
    label2->setWordWrap(true);
    // Where the desktop's font is wider than the design's, the wrapped text takes an extra
    // line; the label grows into the free space above the button labels rather than cut it.
    const int room = toPixelsY(design::kButtonLabel0.top) - label2->y();
    const int needed = label2->heightForWidth(label2->width());
    if (needed > label2->height())
        label2->resize(label2->width(), std::min(needed, room));
}

// Never the focus: a key pressed to assign it, the space bar above all, would switch it.
void Form1::addHoldKeysSwitch()
{
    check1_ = new QCheckBox(fromUtf8(design::kCheck1Caption), this);
    check1_->setObjectName(QStringLiteral("Check1"));
    check1_->setFocusPolicy(Qt::NoFocus);
    place(check1_, design::kCheck1);
    connect(check1_, &QCheckBox::toggled, this, [this](bool on) {
        if (listeners_.logic)
            listeners_.logic->holdKeysSwitched(on);
    });
}

void Form1::showHoldKeys(bool on)
{
    const QSignalBlocker quiet(check1_);
    check1_->setChecked(on);
}

QPushButton* Form1::addButton(const char* name, const char* caption, TwipsRect rect)
{
    auto* button = new QPushButton(fromUtf8(caption), this);
    button->setObjectName(fromUtf8(name));
    button->setAutoDefault(false);
    place(button, rect);
    return button;
}

QLabel* Form1::makeLabel(int index)
{
    auto* label = new QLabel(this);
    label->setObjectName(QStringLiteral("Label(%1)").arg(index));
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    paintBackground(label, QColor(design::kButtonLabelBackground));
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, QColor(design::kButtonLabelText));
    label->setPalette(palette);
    label->hide();
    return label;
}

void Form1::showLabelText(QLabel* label, std::string_view caption)
{
    label->setText(fromUtf8(utf8FromWindows1252(caption)));
}

void Form1::showLabelWeight(QLabel* label, bool bold)
{
    QFont font = label->font();
    font.setBold(bold);
    label->setFont(font);
}

void Form1::place(QWidget* widget, TwipsRect rect) const
{
    widget->setGeometry(toPixelsX(rect.left), toPixelsY(rect.top), toPixelsX(rect.width), toPixelsY(rect.height));
}

void Form1::applyClientSize()
{
    setFixedSize(toPixelsX(design::clientWidth(outerWidth())), toPixelsY(design::kClientHeight));
}

int Form1::toPixelsX(float twips) const
{
    return twipsToPixels(twips, dpiX_);
}

int Form1::toPixelsY(float twips) const
{
    return twipsToPixels(twips, dpiY_);
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
