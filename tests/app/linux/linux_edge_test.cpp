#include "app/linux/linux_edge.h"

#include "fakes/fake_input_services.h"
#include "support/qt_waits.h"

#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace kivo {
namespace {

// No joystick, and no SDL started to find none.
class AbsentJoystick final : public SdlJoystick {
public:
    bool capabilities(unsigned, JOYCAPS&) override { return false; }
    bool position(unsigned, JOYINFOEX&) override { return false; }
    JoystickNode node() const override { return {}; }
};

// Needs nothing of the desktop before or after asking Qt to activate the window; Qt leaves a window
// that takes no focus where it is, as a window manager does that keeps it back.
class AskingEdge final : public LinuxEdge {
public:
    AskingEdge()
        : LinuxEdge({{},
                     [](const SdlJoystick&) { return nullptr; },
                     [](const JoystickChoice&) { return std::make_unique<AbsentJoystick>(); }})
    {
    }
    InputServices services() override { return fakes_.services(); }

private:
    bool armForOtherWindows() override { return true; }
    std::unique_ptr<WindowHook> attachWindow(Form1&, WindowLogic&) override { return nullptr; }
    void activate(QWidget& window, const LaunchTokens&) override
    {
        window.raise();
        window.activateWindow();
    }

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
        ASSERT_TRUE(test_support::waitWithEvents([&game] { return game.isActiveWindow(); }));
        std::optional<bool> raised;
        AskingEdge edge;
        edge.comeToFront(form, {}, [&raised](bool inFront) { raised = inFront; });
        ASSERT_TRUE(test_support::waitWithEvents([&raised] { return raised.has_value(); }));
        EXPECT_EQ(*raised, !keptBack) << "kept back: " << keptBack;
        EXPECT_EQ(form.isActiveWindow(), !keptBack);
    }
}

// On Wayland the launcher's token reaches the compositor only through Qt, which reads it from the
// environment as it activates the window.
TEST(LinuxEdgeTest, TheLaunchersTokenIsHandedToQtForTheActivationAndNoLonger)
{
    for (const std::string token : {"launcher-token", ""}) {
        qputenv("XDG_ACTIVATION_TOKEN", "spent-token");
        std::optional<QByteArray> offered;
        withActivationToken(token, [&offered] { offered = qgetenv("XDG_ACTIVATION_TOKEN"); });
        ASSERT_TRUE(offered.has_value());
        if (!token.empty()) {
            EXPECT_EQ(offered->toStdString(), token);
        }
        EXPECT_FALSE(qEnvironmentVariableIsSet("XDG_ACTIVATION_TOKEN")) << "after " << token;
    }
}

}  // namespace
}  // namespace kivo
