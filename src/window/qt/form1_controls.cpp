#include "window/qt/form1.h"

#include "platform/windows1252.h"
#include "window/qt/widget_design.h"
#include "window/rounding.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>

#include <algorithm>

// Form1's controls, made and placed in twips as the design gives them.
namespace kivo {

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

}  // namespace kivo
