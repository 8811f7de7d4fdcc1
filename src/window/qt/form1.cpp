#include "window/qt/form1.h"

#include "window/qt/windows1252.h"
#include "window/rounding.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFontDatabase>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>

#include <algorithm>

namespace kivo {

namespace {

constexpr double kTwipsPerInch = 1440;

QColor fromRgb(unsigned rgb)
{
    return QColor::fromRgb(static_cast<QRgb>(rgb));
}

QFont designFont()
{
    const QString family = QFontDatabase::hasFamily(design::kFontFamily)
                               ? QString::fromLatin1(design::kFontFamily)
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

QString buttonLabelName(int index)
{
    return QStringLiteral("Label(%1)").arg(index);
}

}  // namespace

Form1::Form1()
{
    setObjectName(QStringLiteral("Form1"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    setWindowTitle(QString::fromLatin1(design::kTitle));
    setFont(designFont());
    paintBackground(this, fromRgb(design::kFormBackground));
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
        if (!events_)
            return;
        labels_.tick([this] { events_->timerTicked(); }, [this](ButtonLabel& label) { showBold(label); });
    });
}

void Form1::buildControls()
{
    // Created in the tab order of the design.
    ButtonLabel first = makeButtonLabel(0);
    first.caption = design::kButtonLabel0Caption;
    first.rect = design::kButtonLabel0;
    first.control->setText(fromWindows1252(first.caption));
    place(first.control, first.rect);
    first.control->show();
    labels_.add(first);

    QLabel* label1 = addLabel("Label1", design::kLabel1Caption, design::kLabel1);
    QFont bold = label1->font();
    bold.setBold(true);
    label1->setFont(bold);

    command1_ = addButton("Command1", design::kCommand1Caption, design::kCommand1);
    command3_ = addButton("Command3", design::kCommand3Caption, design::kCommand3);
    command4_ = addButton("Command4", design::kCommand4Caption, design::kCommand4);
    addInstructions();

    setTabOrder(command1_, command3_);
    setTabOrder(command3_, command4_);
    connect(command1_, &QPushButton::clicked, this, [this] {
        if (events_)
            events_->quitClicked();
    });
    connect(command4_, &QPushButton::clicked, this, [this] {
        if (events_)
            events_->clearClicked();
    });
}

QLabel* Form1::addLabel(const char* name, const char* caption, TwipsRect rect)
{
    auto* label = new QLabel(QString::fromLatin1(caption), this);
    label->setObjectName(QString::fromLatin1(name));
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // Labels are opaque in the system's button colour, not see-through onto the form.
    paintBackground(label, QApplication::palette().color(QPalette::Button));
    place(label, rect);
    return label;
}

void Form1::addInstructions()
{
    QLabel* label2 = addLabel("Label2", design::kLabel2Caption, design::kLabel2);
    label2->setWordWrap(true);
    // Where the desktop's font is wider than the design's, the wrapped text takes an extra
    // line; the label grows into the free space above the button labels rather than cut it.
    const int room = toPixelsY(design::kButtonLabel0.top) - label2->y();
    const int needed = label2->heightForWidth(label2->width());
    if (needed > label2->height())
        label2->resize(label2->width(), std::min(needed, room));
}

QPushButton* Form1::addButton(const char* name, const char* caption, TwipsRect rect)
{
    auto* button = new QPushButton(QString::fromLatin1(caption), this);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    place(button, rect);
    return button;
}

Form1::ButtonLabel Form1::makeButtonLabel(int index)
{
    ButtonLabel label;
    label.control = new QLabel(this);
    label.control->setObjectName(buttonLabelName(index));
    label.control->setTextFormat(Qt::PlainText);
    label.control->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    paintBackground(label.control, fromRgb(design::kButtonLabelBackground));
    QPalette palette = label.control->palette();
    palette.setColor(QPalette::WindowText, fromRgb(design::kButtonLabelText));
    label.control->setPalette(palette);
    label.control->hide();
    return label;
}

void Form1::place(QWidget* widget, TwipsRect rect) const
{
    widget->setGeometry(toPixelsX(rect.left), toPixelsY(rect.top), toPixelsX(rect.width), toPixelsY(rect.height));
}

void Form1::applyClientSize()
{
    const float clientWidth = outerWidth_ - design::kFrameLeft - design::kFrameRight;
    const float clientHeight = design::kOuterHeight - design::kFrameTop - design::kFrameBottom;
    setFixedSize(toPixelsX(clientWidth), toPixelsY(clientHeight));
}

int Form1::toPixelsX(float twips) const
{
    return roundHalfEven(twips * dpiX_ / kTwipsPerInch);
}

int Form1::toPixelsY(float twips) const
{
    return roundHalfEven(twips * dpiY_ / kTwipsPerInch);
}

bool Form1::exists(int index) const
{
    return labels_.exists(index);
}

std::string Form1::caption(int index) const
{
    return labels_.caption(index);
}

void Form1::setCaption(int index, std::string_view caption)
{
    if (ButtonLabel* label = labels_.changeCaption(index, caption))
        label->control->setText(fromWindows1252(caption));
}

void Form1::setBold(int index, bool bold)
{
    if (ButtonLabel* label = labels_.changeBold(index, bold))
        showBold(*label);
}

void Form1::showBold(ButtonLabel& label)
{
    QFont font = label.control->font();
    font.setBold(label.bold);
    label.control->setFont(font);
}

// Asking for an element that exists leaves it as it is.
void Form1::createLabel(int index)
{
    if (!labels_.isNext(index))
        return;
    ButtonLabel label = makeButtonLabel(index);
    const ButtonLabel& first = labels_.first();
    label.control->setFont(first.control->font());
    label.bold = first.bold;
    label.shownBold = first.shownBold;
    label.caption = first.caption;
    label.rect = first.rect;
    label.control->setText(fromWindows1252(label.caption));
    place(label.control, label.rect);
    labels_.add(label);
}

void Form1::setLabelVisible(int index, bool visible)
{
    if (ButtonLabel* label = labels_.find(index))
        label->control->setVisible(visible);
}

bool Form1::labelVisible(int index) const
{
    const ButtonLabel* label = labels_.find(index);
    return label && !label->control->isHidden();
}

TwipsRect Form1::labelRect(int index) const
{
    return labels_.rect(index);
}

void Form1::setLabelRect(int index, TwipsRect rect)
{
    if (ButtonLabel* label = labels_.find(index)) {
        label->rect = rect;
        place(label->control, rect);
    }
}

void Form1::setOuterWidth(float width)
{
    outerWidth_ = std::max(width, design::kMinimumOuterWidth);
    applyClientSize();
}

bool Form1::askYesNo(std::string_view question)
{
    QMessageBox box(QMessageBox::Question, QString::fromLatin1(design::kProgramName), fromWindows1252(question),
                    QMessageBox::Yes | QMessageBox::No, this);
    box.setDefaultButton(QMessageBox::Yes);
    box.setWindowModality(Qt::ApplicationModal);
    return box.exec() != QMessageBox::No;
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

bool Form1::event(QEvent* event)
{
    const bool handled = QWidget::event(event);
    if (event->type() == QEvent::WindowActivate && events_)
        events_->activated();
    return handled;
}

void Form1::closeEvent(QCloseEvent* event)
{
    if (events_)
        events_->closed();
    event->accept();
}

}  // namespace kivo
