#include "qt_window_fixture.h"

#include <csignal>

namespace kivo {
namespace {

using testing::answerNextQuestion;
using testing::QtWindowTest;
using testing::runUntilEnded;
using testing::SeenQuestion;

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

TEST_F(QtClosingTest, CloseBoxSavesAndEnds)
{
    const int exitCode = runUntilEnded([&] { form().close(); });

    EXPECT_EQ(exitCode, 0);
    EXPECT_FALSE(form().isVisible());
    EXPECT_EQ(settings.stored(2), assigned);
}

TEST_F(QtClosingTest, EndingTheEventLoopElsewhereSaves)
{
    runUntilEnded([] { QCoreApplication::quit(); });
    EXPECT_EQ(settings.stored(2), assigned);
}

TEST_F(QtClosingTest, TerminationSignalsTakeTheClosePath)
{
    for (int signal : {SIGTERM, SIGHUP, SIGINT}) {
        SetUp();
        const int exitCode = runUntilEnded([signal] { std::raise(signal); });

        EXPECT_EQ(exitCode, 0) << signal;
        EXPECT_FALSE(form().isVisible()) << signal;
        EXPECT_EQ(settings.stored(2), assigned) << signal;
        std::filesystem::remove(settings.file());
    }
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
