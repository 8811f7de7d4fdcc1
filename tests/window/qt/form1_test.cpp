#include "qt_window_fixture.h"
#include "support/qt_waits.h"

#include <QFontDatabase>
#include <QKeyEvent>
#include <QScreen>
#include <QTest>

namespace kivo {
namespace {

using test_support::QtWindowTest;

// The figures below assume the 96 DPI that Qt's offscreen platform reports: 15 twips a pixel.
class Form1Test : public QtWindowTest {
protected:
    void SetUp() override
    {
        ASSERT_EQ(QGuiApplication::primaryScreen()->logicalDotsPerInchX(), 96);
        ASSERT_EQ(QGuiApplication::primaryScreen()->logicalDotsPerInchY(), 96);
    }
};

TEST_F(Form1Test, ControlsSitAtTheirDesignRectangles)
{
    start(2);
    struct Case {
        const char* name;
        QRect pixels;
    };
    for (const Case& c :
         {Case{"Label(0)", {8, 152, 129, 17}}, Case{"Label(1)", {8, 176, 129, 17}}, Case{"Label1", {8, 80, 209, 25}},
          Case{"Command1", {8, 8, 81, 33}}, Case{"Command3", {400, 8, 9, 13}}, Case{"Command4", {104, 8, 89, 33}}}) {
        if (auto* widget = control<QWidget>(c.name)) {
            EXPECT_EQ(widget->geometry(), c.pixels) << c.name;
        }
    }

    // The instructions keep their design place and width; their height grows with a wide
    // font, up to the button labels.
    const auto* label2 = control<QLabel>("Label2");
    EXPECT_EQ(label2->geometry().topLeft(), QPoint(8, 104));
    EXPECT_EQ(label2->width(), 281);
    EXPECT_EQ(label2->height(), std::clamp(label2->heightForWidth(281), 33, 48));

    EXPECT_EQ(form().minimumSize(), QSize(304, 419));
    EXPECT_EQ(form().maximumSize(), QSize(304, 419));
    EXPECT_GE(control<QWidget>("Command3")->x(), form().width());
}

TEST_F(Form1Test, WindowIsAFixedDialogWithTitleAndGreyBackground)
{
    start(2);
    const Qt::WindowFlags flags = form().windowFlags();
    EXPECT_FALSE(flags & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
    EXPECT_EQ(form().windowTitle(), "Kivo v1.0");
    EXPECT_TRUE(form().autoFillBackground());
    EXPECT_EQ(form().palette().color(QPalette::Window), QColor(192, 192, 192));
}

TEST_F(Form1Test, ButtonLabelsAreGreenOnBlackCopiesOfLabel0)
{
    start(3);
    for (const char* name : {"Label(0)", "Label(1)", "Label(2)"}) {
        auto* label = control<QLabel>(name);
        ASSERT_NE(label, nullptr);
        EXPECT_TRUE(label->autoFillBackground()) << name;
        EXPECT_EQ(label->palette().color(QPalette::Window), QColor(0, 0, 0)) << name;
        EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(0, 192, 0)) << name;
        EXPECT_EQ(label->font(), control<QLabel>("Label(0)")->font()) << name;
        EXPECT_EQ(label->textFormat(), Qt::PlainText) << name;
        EXPECT_FALSE(label->isHidden()) << name;
    }
}

TEST_F(Form1Test, FontsAndWrapping)
{
    start(2);
    // An installed family or the desktop's own general font (which may be an alias such as
    // "Sans Serif"), never a name the desktop lacks.
    const QString family = form().font().family();
    EXPECT_TRUE(QFontDatabase::hasFamily(family) ||
                family == QFontDatabase::systemFont(QFontDatabase::GeneralFont).family())
        << family.toStdString();
    struct Case {
        const char* name;
        bool bold;
    };
    for (const Case& c : {Case{"Label(0)", false}, Case{"Label(1)", false}, Case{"Label1", true}, Case{"Label2", false},
                          Case{"Command1", false}, Case{"Command4", false}}) {
        const QFont font = control<QWidget>(c.name)->font();
        EXPECT_EQ(font.family(), family) << c.name;
        EXPECT_EQ(font.pointSizeF(), 8.25) << c.name;
        EXPECT_EQ(font.bold(), c.bold) << c.name;
    }
    EXPECT_TRUE(control<QLabel>("Label2")->wordWrap());
}

TEST_F(Form1Test, Timer1TicksEveryMillisecondOnceStarted)
{
    start(2);
    auto* timer = form().findChild<QTimer*>(QStringLiteral("Timer1"));
    ASSERT_NE(timer, nullptr);
    EXPECT_EQ(timer->interval(), 1);
    EXPECT_EQ(timer->timerType(), Qt::PreciseTimer);
    EXPECT_TRUE(timer->isActive());
}

TEST_F(Form1Test, LayoutWidensForTheThirdColumnAndShrinksWithoutButtons)
{
    struct Case {
        std::uint32_t buttons;
        int clientWidth;
        bool label0Shown;
    };
    for (const Case& c : {Case{23, 389, true}, Case{0, 130, false}}) {
        start(c.buttons);
        EXPECT_EQ(form().width(), c.clientWidth) << c.buttons;
        EXPECT_EQ(control<QLabel>("Label(0)")->isHidden(), !c.label0Shown) << c.buttons;
    }
    EXPECT_EQ(form().outerWidth(), design::kMinimumOuterWidth);
    start(23);
    EXPECT_EQ(control<QLabel>("Label(22)")->geometry(), QRect(266, 152, 129, 17));
}

TEST_F(Form1Test, CaptionsAreWindows1252BytesAndMessagesUtf8ShownAsUnicode)
{
    start(2);
    const std::string bytes = "Button 1:  \x80\x81\xe9<b>";
    form().setCaption(0, bytes);
    EXPECT_EQ(form().caption(0), bytes);
    EXPECT_EQ(control<QLabel>("Label(0)")->text(), QString::fromUtf8("Button 1:  \u20ac\u0081\u00e9<b>"));
    EXPECT_EQ(form().caption(5), "");

    // A message is UTF-8, like the paths it names.
    test_support::SeenQuestion seen;
    test_support::answerNextQuestion(QMessageBox::Ok, seen);
    form().showProblem("\"/home/Jos\u00e9 \u00dc/kivo.ini\" cannot be written");
    EXPECT_EQ(seen.text, QStringLiteral(u"\"/home/Jos\u00e9 \u00dc/kivo.ini\" cannot be written"));
}

// Ticks set every bold flag a thousand times a second; only a real change may touch the font.
// Counts the font changes a widget goes through, each one a relayout and repaint.
struct FontChangeCounter : QObject {
    int count = 0;
    bool eventFilter(QObject*, QEvent* event) override
    {
        count += event->type() == QEvent::FontChange;
        return false;
    }
};

TEST_F(Form1Test, UnchangedBoldCostsNoFontChange)
{
    start(2);
    auto* label = control<QLabel>("Label(1)");
    FontChangeCounter counter;
    int& fontChanges = counter.count;
    label->installEventFilter(&counter);

    for (int i = 0; i < 100; ++i)
        form().setBold(1, false);
    EXPECT_EQ(fontChanges, 0);
    form().setBold(1, true);
    form().setBold(1, true);
    EXPECT_EQ(fontChanges, 1);
    EXPECT_TRUE(label->font().bold());
}

TEST_F(Form1Test, TicksKeepingTheSelectionBoldChangeItsFontOnce)
{
    start(3);
    fakes.foreground.window = form().nativeHandle();
    fakes.joystick.hold(2);
    auto* label = control<QLabel>("Label(1)");
    FontChangeCounter counter;
    label->installEventFilter(&counter);

    EXPECT_TRUE(test_support::waitWithEvents([label] { return label->font().bold(); }));
    QTest::qWait(static_cast<int>(test_support::kQuietSpan.count()));  // ticks that change nothing
    EXPECT_EQ(counter.count, 1);
}

TEST_F(Form1Test, FocusGoesToCommand3WhenTheWindowIsActivated)
{
    start(2);
    control<QWidget>("Command1")->setFocus();
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form(), test_support::kWaitDeadlineMs));
    EXPECT_EQ(QApplication::focusWidget(), control<QWidget>("Command3"));
}

// What a platform without a view of other windows learns from Kivo's own.
TEST_F(Form1Test, AnInputObserverHearsTheKeysOfTheFocusedControlAndTheActivation)
{
    struct Heard final : WindowInputObserver {
        void keyEvent(std::uint32_t code, bool down, std::uint32_t modifiers, std::uint32_t virtualKey) override
        {
            keys.push_back({code, down, modifiers, virtualKey});
        }
        void activeChanged(bool active) override { activations.push_back(active); }
        std::vector<std::array<std::uint32_t, 4>> keys;
        std::vector<bool> activations;
    } heard;
    start(2);
    form().observeInput(&heard);
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form(), test_support::kWaitDeadlineMs));
    const auto sendKey = [this](QEvent::Type type, bool autoRepeat) {
        QKeyEvent key(type, Qt::Key_A, Qt::NoModifier, 38, 0x61, 0x10, QString(), autoRepeat);
        QApplication::sendEvent(form().windowHandle(), &key);
    };
    sendKey(QEvent::KeyPress, false);
    sendKey(QEvent::KeyPress, true);
    sendKey(QEvent::KeyRelease, false);
    QWidget other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other, test_support::kWaitDeadlineMs));

    const std::vector<std::array<std::uint32_t, 4>> expectedKeys{{38, 1, 0x10, 0x61}, {38, 0, 0x10, 0x61}};
    EXPECT_EQ(heard.keys, expectedKeys);
    EXPECT_EQ(heard.activations, (std::vector<bool>{true, false}));
}

// The window logic's tick on activation asks whether the window is in front, which the observer says.
TEST(FormListeners, ActivationReachesTheInputObserverBeforeTheWindowLogic)
{
    struct Heard final : WindowInputObserver, WindowEvents {
        void keyEvent(std::uint32_t, bool, std::uint32_t, std::uint32_t) override {}
        void activeChanged(bool active) override { order.push_back(active ? "in front" : "not in front"); }
        void activated() override { order.push_back("logic"); }
        void timerTicked() override {}
        void quitClicked() override {}
        void clearClicked() override {}
        void closed(ClosedBy) override {}
        void watchedFileChanged() override {}
        std::vector<std::string> order;
    } heard;
    const FormListeners listeners{&heard, &heard};
    listeners.activeChanged(true);
    listeners.activeChanged(false);
    EXPECT_EQ(heard.order, (std::vector<std::string>{"in front", "logic", "not in front"}));
}

}  // namespace
}  // namespace kivo
