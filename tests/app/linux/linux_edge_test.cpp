#include "app/linux/linux_edge.h"

#include "fakes/fake_input_services.h"

#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <optional>

namespace kivo {
namespace {

// Needs nothing of the desktop before or after asking Qt to activate the window; Qt leaves a window
// that takes no focus where it is, as a window manager does that keeps it back.
class AskingEdge final : public LinuxEdge {
public:
    AskingEdge() : LinuxEdge({{}, [](const SdlJoystick&, std::function<void()>) { return nullptr; }}) {}
    InputServices services() override { return fakes_.services(); }

private:
    bool armForOtherWindows() override { return true; }
    std::unique_ptr<WindowHook> attachWindow(Form1&, WindowLogic&) override { return nullptr; }
    void beforeActivation(const LaunchTokens&) override {}
    void afterActivation(QWidget&, const LaunchTokens&) override {}

    fakes::FakeInputServices fakes_;
};

// The running Kivo tells a second start whether its window came to the front, not that it asked.
TEST(LinuxEdgeTest, ComingToTheFrontIsAnsweredByWhetherTheWindowIsActive)
{
    for (const bool keptBack : {false, true}) {
        Form1 form;
        form.setWindowFlag(Qt::WindowDoesNotAcceptFocus, keptBack);
        form.show();
        QWidget game;
        game.show();
        game.activateWindow();
        ASSERT_TRUE(QTest::qWaitFor([&game] { return game.isActiveWindow(); }));
        std::optional<bool> raised;
        AskingEdge edge;
        edge.comeToFront(form, {}, [&raised](bool inFront) { raised = inFront; });
        ASSERT_TRUE(QTest::qWaitFor([&raised] { return raised.has_value(); }, 10000));
        EXPECT_EQ(*raised, !keptBack) << "kept back: " << keptBack;
        EXPECT_EQ(form.isActiveWindow(), !keptBack);
    }
}

}  // namespace
}  // namespace kivo
