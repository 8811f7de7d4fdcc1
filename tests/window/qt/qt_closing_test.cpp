#include "qt_window_fixture.h"

#include <QSessionManager>

#include <csignal>
#include <ostream>

namespace kivo {
namespace {

using test_support::answerNextQuestion;
using test_support::QtWindowTest;
using test_support::runUntilEnded;
using test_support::SeenQuestion;

class QtClosingTest : public QtWindowTest {
protected:
    void SetUp() override
    {
        start(2);
        form().setCaption(0, "Button 1:  {Enter}");
        form().setCaption(1, "Button 2:  A");
        window->show();
    }

    const std::vector<std::string> assigned{"Button 1:  {Enter}", "Button 2:  A"};
};

TEST_F(QtClosingTest, QuestionsAreModalYesNoQuestionsTitledKivo)
{
    struct Case {
        const char* button;
        QString text;
    };
    for (const Case& c : {Case{"Command1", "Are you sure you want to quit?"},
                          Case{"Command4", "Are you sure you want to clear all settings?"}}) {
        SeenQuestion seen;
        answerNextQuestion(QMessageBox::No, seen);
        control<QPushButton>(c.button)->click();

        EXPECT_EQ(seen.text, c.text);
        EXPECT_EQ(seen.title, "Kivo");
        EXPECT_EQ(seen.icon, QMessageBox::Question);
        EXPECT_EQ(seen.buttons, QMessageBox::Yes | QMessageBox::No);
        EXPECT_EQ(seen.defaultButton, QMessageBox::Yes);
        EXPECT_EQ(seen.modality, Qt::ApplicationModal);
    }
    EXPECT_TRUE(form().isVisible());
    EXPECT_EQ(form().caption(1), "Button 2:  A");
    EXPECT_FALSE(settings.written());
}

TEST_F(QtClosingTest, QuitAnsweredYesSavesAndEnds)
{
    SeenQuestion seen;
    const int exitCode = runUntilEnded([&] {
        answerNextQuestion(QMessageBox::Yes, seen);
        control<QPushButton>("Command1")->click();
    });

    EXPECT_EQ(exitCode, 0);
    EXPECT_FALSE(form().isVisible());
    EXPECT_EQ(settings.stored(2), assigned);
}

TEST_F(QtClosingTest, ClearAnsweredYesClearsWithoutSaving)
{
    SeenQuestion seen;
    answerNextQuestion(QMessageBox::Yes, seen);
    control<QPushButton>("Command4")->click();

    EXPECT_EQ(form().caption(0), "Button 1:  ");
    EXPECT_EQ(form().caption(1), "Button 2:  ");
    EXPECT_TRUE(form().isVisible());
    EXPECT_FALSE(settings.written());
}

// A way the window is asked to close, from outside the window logic.
struct CloseRequest {
    const char* name;
    void (*send)(Form1& form);
};

void PrintTo(const CloseRequest& request, std::ostream* out)
{
    *out << request.name;
}

// Qt creates the session manager with the application, as its child; the close path
// ignores it, but the signal cannot be sent without one.
void endSession(Form1&)
{
    auto* manager = qGuiApp->findChild<QSessionManager*>();
    if (manager == nullptr) {
        ADD_FAILURE() << "Qt made no session manager";
        return;
    }
    Q_EMIT qGuiApp->commitDataRequest(*manager);
}

class QtCloseRequestTest : public QtClosingTest, public ::testing::WithParamInterface<CloseRequest> {};

TEST_P(QtCloseRequestTest, SavesAndEnds)
{
    const int exitCode = runUntilEnded([this] { GetParam().send(form()); });

    EXPECT_EQ(exitCode, 0);
    EXPECT_FALSE(form().isVisible());
    EXPECT_EQ(settings.stored(2), assigned);
}

INSTANTIATE_TEST_SUITE_P(Requests, QtCloseRequestTest,
                         ::testing::Values(CloseRequest{"CloseBox", [](Form1& form) { form.close(); }},
                                           CloseRequest{"SessionEnd", endSession},
                                           CloseRequest{"EventLoopQuitElsewhere",
                                                        [](Form1&) { QCoreApplication::quit(); }},
                                           CloseRequest{"SIGTERM", [](Form1&) { std::raise(SIGTERM); }},
                                           CloseRequest{"SIGHUP", [](Form1&) { std::raise(SIGHUP); }},
                                           CloseRequest{"SIGINT", [](Form1&) { std::raise(SIGINT); }}),
                         [](const auto& info) { return std::string(info.param.name); });

// The session's end or a signal may come with nobody there to answer a message box; a user who closed the window
// is told.
TEST_F(QtClosingTest, FailedSaveIsShownInAWarningOnlyToAUserWhoClosed)
{
    settings.store({"old"});
    std::filesystem::permissions(settings.file(), std::filesystem::perms::owner_read);
    SeenQuestion seen;
    answerNextQuestion(QMessageBox::Ok, seen);
    EXPECT_EQ(runUntilEnded([this] { form().closeForSystem(); }), 1);
    EXPECT_EQ(seen.icon, QMessageBox::NoIcon) << "a box at the session's end or a signal";

    start(2);
    form().setCaption(0, "Button 1:  B");
    window->show();
    EXPECT_EQ(runUntilEnded([this] { form().close(); }), 1);
    EXPECT_EQ(seen.icon, QMessageBox::Warning);
    EXPECT_TRUE(seen.text.contains("kivo.ini")) << seen.text.toStdString();
}

TEST_F(QtClosingTest, SignalWhileAQuestionIsOpenSavesAndAnswersNothing)
{
    const int exitCode = runUntilEnded([&] {
        QTimer::singleShot(50, [] { std::raise(SIGTERM); });
        control<QPushButton>("Command4")->click();
    });

    EXPECT_EQ(exitCode, 0);
    EXPECT_EQ(settings.stored(2), assigned);
    EXPECT_EQ(form().caption(0), "Button 1:  {Enter}");
}

}  // namespace
}  // namespace kivo
