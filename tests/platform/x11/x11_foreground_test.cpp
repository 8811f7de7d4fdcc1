// GoogleTest goes before the X headers, whose macros clash with its names.
#include "x11_fixture.h"

#include "support/key_recorder.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace kivo {
namespace {

using test_support::KeyRecorder;

// Each test has its own server: focus and root-window properties would leak between tests.
class X11ForegroundTest : public X11Test {
protected:
    static void SetUpTestSuite() {}
    static void TearDownTestSuite() {}
    void SetUp() override { X11Test::SetUpTestSuite(); }
    void TearDown() override
    {
        services_.reset();
        X11Test::TearDownTestSuite();
    }

    WindowHandle foreground() { return services_->foreground().current(); }
    WindowHandle settledForeground(WindowHandle expected)
    {
        return settled([this] { return foreground(); }, expected);
    }
};

void setFocus(Display* display, Window window)
{
    XSetInputFocus(display, window, RevertToNone, CurrentTime);
    XSync(display, False);
}

TEST_F(X11ForegroundTest, FollowsTheFocusBetweenTopLevelWindowsWithoutAWindowManager)
{
    openServices();
    KeyRecorder kivo(displayName());
    KeyRecorder game(displayName());

    kivo.takeFocus();
    EXPECT_EQ(settledForeground(kivo.window()), kivo.window());
    game.takeFocus();
    EXPECT_EQ(settledForeground(game.window()), game.window());
    kivo.takeFocus();
    EXPECT_EQ(settledForeground(kivo.window()), kivo.window());
}

TEST_F(X11ForegroundTest, WindowsThatExistedBeforeStartUpAreFollowedToo)
{
    KeyRecorder kivo(displayName());
    KeyRecorder game(displayName());
    game.takeFocus();
    openServices();

    EXPECT_EQ(foreground(), game.window());
    kivo.takeFocus();
    EXPECT_EQ(settledForeground(kivo.window()), kivo.window());
}

TEST_F(X11ForegroundTest, FocusOnAChildWindowCountsAsItsTopLevelWindow)
{
    openServices();
    KeyRecorder kivo(displayName());
    Display* display = kivo.display();
    const Window child = XCreateSimpleWindow(display, kivo.window(), 0, 0, 10, 10, 0, 0, 0);
    XMapWindow(display, child);
    XSync(display, False);

    setFocus(display, child);
    EXPECT_EQ(settledForeground(kivo.window()), kivo.window());
}

TEST_F(X11ForegroundTest, NoWindowWhenFocusIsOnPointerRootOrNone)
{
    openServices();
    KeyRecorder kivo(displayName());
    for (Window nobody : {static_cast<Window>(PointerRoot), static_cast<Window>(None)}) {
        kivo.takeFocus();
        ASSERT_EQ(settledForeground(kivo.window()), kivo.window());
        setFocus(kivo.display(), nobody);
        EXPECT_EQ(settledForeground(WindowHandle{0}), WindowHandle{0}) << "focus " << nobody;
    }
}

// Stands in for a window manager: a check window naming itself, and the active window on the root.
class FakeWindowManager {
public:
    explicit FakeWindowManager(Display* display)
        : display_(display),
          root_(DefaultRootWindow(display)),
          check_(XCreateSimpleWindow(display, root_, 0, 0, 1, 1, 0, 0, 0)),
          checkAtom_(XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", False)),
          activeAtom_(XInternAtom(display, "_NET_ACTIVE_WINDOW", False))
    {
        setWindowProperty(check_, checkAtom_, check_);
        setWindowProperty(root_, checkAtom_, check_);
    }

    void activate(Window window) { setWindowProperty(root_, activeAtom_, window); }
    // Leaves the root's properties behind, as a window manager that was killed does.
    void die()
    {
        XDestroyWindow(display_, check_);
        XSync(display_, False);
    }

private:
    void setWindowProperty(Window window, Atom property, Window value)
    {
        XChangeProperty(display_, window, property, XA_WINDOW, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(&value), 1);
        XSync(display_, False);
    }

    Display* display_;
    Window root_;
    Window check_;
    Atom checkAtom_;
    Atom activeAtom_;
};

TEST_F(X11ForegroundTest, WithAWindowManagerTheActiveWindowCounts)
{
    openServices();
    KeyRecorder kivo(displayName());
    KeyRecorder game(displayName());
    FakeWindowManager manager(game.display());
    // A window manager may keep the X focus on a frame or a window of its own.
    game.takeFocus();

    manager.activate(kivo.window());
    EXPECT_EQ(settledForeground(kivo.window()), kivo.window());
    manager.activate(None);
    EXPECT_EQ(settledForeground(WindowHandle{0}), WindowHandle{0});
    manager.activate(kivo.window());
    ASSERT_EQ(settledForeground(kivo.window()), kivo.window());

    manager.die();
    EXPECT_EQ(settledForeground(game.window()), game.window());
}

}  // namespace
}  // namespace kivo
