// What a user can do to Kivo beyond playing: unplugging, closing with keys, losing the display,
// starting it twice, bringing files from Windows editors, running out of file size.
#include <gmock/gmock.h>

#include "e2e/host_process.h"
#include "kivo_version.h"
#include "support/file_contents.h"
#include "support/key_recorder.h"
#include "support/private_session_bus.h"
#include "support/private_xvfb.h"
#include "support/silent_socket.h"
#include "support/waits.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <sys/wait.h>
#include <unistd.h>
#include <algorithm>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string_view>
#include <thread>

namespace kivo {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using test_support::KeyRecorder;
using test_support::PrivateXvfb;
using ::testing::HasSubstr;

bool exitedWithFailure(int status)
{
    return WIFEXITED(status) && WEXITSTATUS(status) != 0;
}

// A settings folder of the test's own.
class ConfigHome {
public:
    ConfigHome() { fs::create_directories(folder / "kivo"); }
    ~ConfigHome() { fs::remove_all(folder); }
    ConfigHome(const ConfigHome&) = delete;
    ConfigHome& operator=(const ConfigHome&) = delete;

    fs::path ini() const { return folder / "kivo" / "kivo.ini"; }
    void store(const std::string& text) const { std::ofstream(ini(), std::ios::binary) << text; }

    const fs::path folder = fs::temp_directory_path() / ("kivo-e2e-mends-" + std::to_string(::getpid()));
};

class KivoMends : public ::testing::Test {
protected:
    PrivateXvfb xvfb;
    ConfigHome config;
    KeyRecorder game{xvfb.displayName()};
    Display* keyboard = game.display();

    void focus(Window window) { ASSERT_TRUE(game.giveFocusTo(window)); }
    void key(KeySym keysym, bool down)
    {
        XTestFakeKeyEvent(keyboard, XKeysymToKeycode(keyboard, keysym), down ? True : False, CurrentTime);
        XSync(keyboard, False);
    }
    // The top-level window stacked highest; without a window manager each is a child of the root.
    Window topWindow()
    {
        Window root = 0;
        Window parent = 0;
        Window* children = nullptr;
        unsigned count = 0;
        XQueryTree(keyboard, DefaultRootWindow(keyboard), &root, &parent, &children, &count);
        const Window top = count > 0 ? children[count - 1] : 0;
        XFree(children);
        return top;
    }
    // A loaded machine may take its time to restack.
    bool waitForTop(Window window)
    {
        return test_support::waitFor([&] { return topWindow() == window; });
    }
    // Whether the window's title, as a window list shows it, comes to end in this.
    bool titleComesToEndIn(Window window, std::string_view ending)
    {
        return test_support::waitFor([&] {
            char* name = nullptr;
            const bool ends = XFetchName(keyboard, window, &name) != 0 && std::string_view(name).ends_with(ending);
            XFree(name);
            return ends;
        });
    }
    // The button pressed on the joystick, held until Kivo shows it selected, and let go.
    void select(e2e::HostProcess& kivo, int button)
    {
        focus(kivo.windowId());
        kivo.send("press " + std::to_string(button));
        kivo.labelsOnce(static_cast<std::size_t>(button - 1), "label " + std::to_string(button) + " 1 ");
        kivo.send("release " + std::to_string(button));
    }
};

// A session bus of the test's own, as a desktop gives its programs one, with dbus-monitor writing
// down every call of the notification service on it.
class WatchedSessionBus {
public:
    WatchedSessionBus()
    {
        if (!bus_.started())
            throw std::runtime_error("WatchedSessionBus: dbus-daemon did not start; scripts/bootstrap.sh installs it");
        setenv("DBUS_SESSION_BUS_ADDRESS", bus_.address().c_str(), 1);
        monitor_ = fork();
        if (monitor_ == 0) {
            if (std::freopen(calls_.c_str(), "w", stdout) != nullptr)
                execlp("dbus-monitor", "dbus-monitor", "interface=org.freedesktop.Notifications",
                       static_cast<char*>(nullptr));
            _exit(127);
        }
        // It says first that it has become a monitor.
        if (!test_support::waitFor([&] { return saw("member=NameLost"); }))
            throw std::runtime_error("WatchedSessionBus: dbus-monitor did not start");
    }
    ~WatchedSessionBus()
    {
        unsetenv("DBUS_SESSION_BUS_ADDRESS");
        test_support::endProcess(monitor_);
        fs::remove(calls_);
    }
    WatchedSessionBus(const WatchedSessionBus&) = delete;
    WatchedSessionBus& operator=(const WatchedSessionBus&) = delete;

    bool saw(std::string_view text) const { return test_support::fileContents(calls_).find(text) != std::string::npos; }

private:
    test_support::PrivateSessionBus bus_;
    fs::path calls_ = fs::temp_directory_path() / ("kivo-e2e-bus-calls-" + std::to_string(::getpid()));
    pid_t monitor_ = 0;
};

// Unplugged, the joystick is also gone from the desktop's notifications, on the session bus
// Kivo was given.
TEST_F(KivoMends, UnpluggedWhileHeldTypesNothingMore)
{
    const WatchedSessionBus bus;
    config.store("[Settings]\n0=Button 1:  {F5}\n");
    e2e::HostProcess kivo(xvfb.displayName(), config.folder, {"--buttons", "2"});
    select(kivo, 1);
    game.takeFocus();
    game.clear();
    kivo.send("press 1");
    kivo.send("axes 65535 32767");
    ASSERT_GE(test_support::pressesOf(game.waitUntil(test_support::pressed(XK_F5, 1)), XK_F5), 1u);

    kivo.send("unplug");
    EXPECT_TRUE(game.waitUntilQuiet()) << "nothing is typed while the joystick is away";
    EXPECT_TRUE(titleComesToEndIn(kivo.windowId(), "v" KIVO_VERSION " - no joystick"));
    EXPECT_TRUE(test_support::waitFor([&] { return bus.saw("string \"The joystick went away\""); }));

    game.clear();
    kivo.send("plug");
    kivo.labels();
    EXPECT_TRUE(game.settle().empty()) << "it comes back at rest";
    EXPECT_TRUE(titleComesToEndIn(kivo.windowId(), "v" KIVO_VERSION));
    kivo.send("press 2");
    EXPECT_GE(test_support::pressesOf(game.waitUntil(test_support::pressed(XK_F5, 1)), XK_F5), 1u) << "and works again";
    kivo.send("release 2");
}

// Openbox closes the focused window on Alt+F4, as most window managers do.
class WindowManager {
public:
    explicit WindowManager(const std::string& displayName, Display* display)
    {
        pid_ = fork();
        if (pid_ == 0) {
            setenv("DISPLAY", displayName.c_str(), 1);
            execlp("openbox", "openbox", "--sm-disable", static_cast<char*>(nullptr));
            _exit(127);
        }
        const Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", False);
        test_support::waitFor([&] { return hasProperty(display, DefaultRootWindow(display), check); });
    }
    ~WindowManager() { test_support::endProcess(pid_); }
    WindowManager(const WindowManager&) = delete;
    WindowManager& operator=(const WindowManager&) = delete;

    // Openbox binds its keys before it takes on any window, so it sees the Alt+F4 given to a
    // window it manages; it marks each with WM_STATE.
    static bool waitUntilManaged(Display* display, Window window)
    {
        const Atom state = XInternAtom(display, "WM_STATE", False);
        return test_support::waitFor([&] { return hasProperty(display, window, state); });
    }

private:
    static bool hasProperty(Display* display, Window window, Atom property)
    {
        Atom type = 0;
        int format = 0;
        unsigned long count = 0;
        unsigned long after = 0;
        unsigned char* data = nullptr;
        XGetWindowProperty(display, window, property, 0, 1, False, AnyPropertyType, &type, &format, &count, &after,
                           &data);
        XFree(data);
        return count >= 1;
    }

    pid_t pid_ = -1;
};

TEST_F(KivoMends, AltF4UnderAWindowManagerKeepsTheAssignment)
{
    const WindowManager openbox(xvfb.displayName(), keyboard);
    config.store("[Settings]\n0=Button 1:  {Enter}\n1=Button 2:  \n");
    e2e::HostProcess kivo(xvfb.displayName(), config.folder, {"--buttons", "2"});
    ASSERT_TRUE(WindowManager::waitUntilManaged(keyboard, kivo.windowId()));
    select(kivo, 1);
    ASSERT_EQ(kivo.labels()[0], "label 1 1 Button 1:  {Enter}");

    // F4 stays down until Kivo has gone, which takes seconds on a busy machine; repeated, it would
    // close the game window next, and the window manager would then end this test's connection.
    XAutoRepeatOff(keyboard);
    key(XK_Alt_L, true);
    std::this_thread::sleep_for(50ms);  // a person's Alt goes down a moment before the F4
    key(XK_F4, true);
    const int status = kivo.waitForExit();
    key(XK_F4, false);
    key(XK_Alt_L, false);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status << kivo.errors();
    EXPECT_EQ(test_support::fileContents(config.ini()), "[Settings]\n0=Button 1:  {Enter}\n1=Button 2:  \n");
}

// A session bus that takes the connection and never says a word, as a hung one does.
class SilentSessionBus {
public:
    SilentSessionBus() { setenv("DBUS_SESSION_BUS_ADDRESS", socket_.busAddress().c_str(), 1); }
    ~SilentSessionBus() { unsetenv("DBUS_SESSION_BUS_ADDRESS"); }
    SilentSessionBus(const SilentSessionBus&) = delete;
    SilentSessionBus& operator=(const SilentSessionBus&) = delete;

private:
    test_support::SilentSocket socket_{fs::temp_directory_path() / ("kivo-e2e-bus-" + std::to_string(::getpid()))};
};

// A button that types Enter, held while Kivo asks whether to quit, must not answer: the question
// stays until the user answers it, and the key goes to the game once the user is back there.
// The session bus never answers: Kivo's window shows all the same.
TEST_F(KivoMends, HeldButtonAnswersNoneOfKivosOwnQuestions)
{
    const WindowManager openbox(xvfb.displayName(), keyboard);
    config.store("[Settings]\n0=Button 1:  {Enter}\n");
    std::optional<e2e::HostProcess> started;
    {
        const SilentSessionBus bus;
        started.emplace(xvfb.displayName(), config.folder, std::vector<std::string>{"--buttons", "2"});
    }
    e2e::HostProcess& kivo = *started;
    ASSERT_TRUE(WindowManager::waitUntilManaged(keyboard, kivo.windowId()));
    EXPECT_THAT(kivo.errors(), HasSubstr("the session bus did not answer within 1 s"));
    select(kivo, 1);

    // Quit, in the window's top left corner, clicked.
    Window root = 0;
    int x = 0;
    int y = 0;
    XTranslateCoordinates(keyboard, kivo.windowId(), DefaultRootWindow(keyboard), 48, 24, &x, &y, &root);
    XTestFakeMotionEvent(keyboard, -1, x, y, CurrentTime);
    XTestFakeButtonEvent(keyboard, 1, True, CurrentTime);
    XTestFakeButtonEvent(keyboard, 1, False, CurrentTime);
    XSync(keyboard, False);
    Window question = 0;
    ASSERT_TRUE(test_support::waitFor([&] {
        int revertTo = 0;
        XGetInputFocus(keyboard, &question, &revertTo);
        return question != kivo.windowId() && question != game.window() && question != None && question != PointerRoot;
    })) << "no question came to the front";

    kivo.send("press 1");
    std::this_thread::sleep_for(1s);  // a person holding the button through the question
    game.clear();
    focus(game.window());
    EXPECT_GE(test_support::pressesOf(game.waitUntil(test_support::pressed(XK_Return, 1)), XK_Return), 1u)
        << "back in the game, the button types again";
    kivo.send("release 1");
    XWindowAttributes attributes{};
    EXPECT_TRUE(XGetWindowAttributes(keyboard, question, &attributes) != 0 && attributes.map_state == IsViewable)
        << "the question is still there";
    EXPECT_EQ(kivo.labels().size(), 2u) << "and Kivo still runs";
}

TEST_F(KivoMends, WindowDestroyedByAnotherProgramSavesAndFails)
{
    config.store("[Settings]\n0=Button 1:  {Enter}\n");
    e2e::HostProcess kivo(xvfb.displayName(), config.folder, {"--buttons", "2"});
    XDestroyWindow(keyboard, kivo.windowId());
    XSync(keyboard, False);
    const int status = kivo.waitForExit();
    EXPECT_TRUE(exitedWithFailure(status)) << status;
    EXPECT_THAT(kivo.errors(), HasSubstr("destroyed Kivo's window"));
    EXPECT_EQ(test_support::fileContents(config.ini()), "[Settings]\n0=Button 1:  {Enter}\n1=\n")
        << "saved once the window went";
}

// The startup-notification message on the root window, as its receivers put it together: a first
// piece of type _NET_STARTUP_INFO_BEGIN, and _NET_STARTUP_INFO for each piece that continues it.
std::string startupMessage(Display* display)
{
    XSync(display, False);
    const Atom begin = XInternAtom(display, "_NET_STARTUP_INFO_BEGIN", False);
    const Atom continued = XInternAtom(display, "_NET_STARTUP_INFO", False);
    std::string pieces;
    while (XPending(display) > 0) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type != ClientMessage || event.xclient.format != 8)
            continue;
        if (event.xclient.message_type != (pieces.empty() ? begin : continued))
            return "a piece of the wrong type after \"" + pieces + "\"";
        pieces.append(event.xclient.data.b, sizeof event.xclient.data.b);
    }
    return pieces.c_str();
}

TEST_F(KivoMends, SecondStartBringsTheFirstToTheFrontAndSucceeds)
{
    e2e::HostProcess first(xvfb.displayName(), config.folder, {"--buttons", "2"});
    // Kivo's own raise at start is done once it is ready; the game goes on top of it.
    XRaiseWindow(keyboard, game.window());
    XSync(keyboard, False);
    ASSERT_TRUE(waitForTop(game.window()));

    // A launcher's startup id goes with the request, and the launch's busy feedback ends; a
    // Wayland token beside it is no startup id.
    Display* launcher = XOpenDisplay(xvfb.displayName().c_str());
    XSelectInput(launcher, DefaultRootWindow(launcher), PropertyChangeMask);
    XSync(launcher, False);
    setenv("DESKTOP_STARTUP_ID", "kivo-test-launch_TIME0", 1);
    setenv("XDG_ACTIVATION_TOKEN", "wayland-token", 1);
    e2e::HostProcess second(xvfb.displayName(), config.folder, {"--buttons", "2"}, {.waitUntilReady = false});
    unsetenv("DESKTOP_STARTUP_ID");
    unsetenv("XDG_ACTIVATION_TOKEN");
    const int status = second.waitForExit();
    EXPECT_EQ(startupMessage(launcher), "remove: ID=kivo-test-launch_TIME0");
    XCloseDisplay(launcher);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_THAT(second.errors(), HasSubstr("already running with"));
    EXPECT_THAT(second.errors(), HasSubstr("; its window is brought to the front instead."));
    EXPECT_TRUE(waitForTop(first.windowId())) << "the running Kivo came to the front";
    XClassHint windowClass{};
    ASSERT_NE(XGetClassHint(keyboard, first.windowId(), &windowClass), 0);
    EXPECT_STREQ(windowClass.res_class, "io.github.kivo_project.Kivo") << "as the launcher's StartupWMClass";
    XFree(windowClass.res_name);
    XFree(windowClass.res_class);
    EXPECT_EQ(first.labels().size(), 2u) << "and runs on";
}

// Stopped with Ctrl+Z in its terminal, the running Kivo cannot answer; it still holds the file.
TEST_F(KivoMends, SecondStartBesideAStoppedKivoSaysSoAndSucceeds)
{
    e2e::HostProcess first(xvfb.displayName(), config.folder, {"--buttons", "2"});
    ::kill(first.pid(), SIGSTOP);
    e2e::HostProcess second(xvfb.displayName(), config.folder, {"--buttons", "2"}, {.waitUntilReady = false});
    const int status = second.waitForExit();
    ::kill(first.pid(), SIGCONT);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_THAT(second.errors(), HasSubstr("already running with \"" + config.ini().string() + "\" (process " +
                                           std::to_string(first.pid()) + "), but its window did not come"));
}

// kivo.ini is a link to a dotfiles copy, which an editor replaces while Kivo runs; the window
// shows the edit, and neither the next assignment nor the end of the session undoes it.
TEST_F(KivoMends, EditWhileRunningShowsAndOutlivesAnAssignmentAndTheEnd)
{
    const fs::path dotfile = config.folder / "dotfiles-kivo.ini";
    std::ofstream(dotfile, std::ios::binary) << "[Settings]\n0=Button 1:  {Enter}\n1=Button 2:  {F2}\n";
    fs::create_symlink(dotfile, config.ini());
    e2e::HostProcess kivo(xvfb.displayName(), config.folder, {"--buttons", "2"});
    ASSERT_EQ(kivo.labels()[1], "label 2 0 Button 2:  {F2}");

    std::ofstream(config.folder / "edited", std::ios::binary)
        << "[Settings]\n0=Button 1:  {Enter}\n1=Button 2:  {F9}\n; by hand\n";
    fs::rename(config.folder / "edited", dotfile);
    EXPECT_EQ(kivo.labelsOnce(1, "label 2 0 Button 2:  {F9}")[1], "label 2 0 Button 2:  {F9}");

    select(kivo, 1);
    key(XK_F5, true);
    EXPECT_EQ(kivo.labelsOnce(0, "label 1 1 Button 1:  {F5}")[0], "label 1 1 Button 1:  {F5}");
    key(XK_F5, false);
    const int status = kivo.terminate(SIGTERM);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status << kivo.errors();
    EXPECT_TRUE(fs::is_symlink(config.ini()));
    EXPECT_EQ(test_support::fileContents(dotfile), "[Settings]\n0=Button 1:  {F5}\n1=Button 2:  {F9}\n; by hand\n");
}

TEST_F(KivoMends, FileFromAWindowsEditorKeepsItsByteOrderMark)
{
    config.store("\xEF\xBB\xBF[Settings]\r\n0=Button 1:  {Enter}\r\n");
    e2e::HostProcess kivo(xvfb.displayName(), config.folder, {"--buttons", "2"});
    EXPECT_EQ(kivo.labels()[0], "label 1 0 Button 1:  {Enter}");
    const int status = kivo.terminate(SIGTERM);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_EQ(test_support::fileContents(config.ini()), "\xEF\xBB\xBF[Settings]\r\n0=Button 1:  {Enter}\r\n1=\r\n");
}

// Started from a menu, Kivo has no terminal: a settings file it cannot use shows in a box before
// its window. Read-only, that file is then neither moved aside nor replaced.
TEST_F(KivoMends, UnusableReadOnlyFileIsShownInABoxAndLeftAlone)
{
    const std::string binary("PK\x03\x04\x14\0\0\0\x08\0", 10);
    config.store(binary);
    fs::permissions(config.ini(), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    e2e::HostProcess kivo(xvfb.displayName(), config.folder, {"--buttons", "2"}, {.waitUntilReady = false});
    // The box comes before the window, above every other.
    Window box = 0;
    ASSERT_TRUE(test_support::waitFor([&] {
        char* name = nullptr;
        box = topWindow();
        const bool named = XFetchName(keyboard, box, &name) != 0 && std::string_view(name) == "Kivo";
        XFree(name);
        return named;
    }));
    EXPECT_THAT(kivo.errors(), HasSubstr("cannot use the settings file"));
    focus(box);
    key(XK_Return, true);
    key(XK_Return, false);
    EXPECT_EQ(kivo.labels().size(), 2u) << "the window runs once the box is answered";
    const int status = kivo.terminate(SIGTERM);
    EXPECT_TRUE(exitedWithFailure(status)) << status;
    EXPECT_THAT(kivo.errors(), HasSubstr("will not replace the read-only file"));
    EXPECT_EQ(test_support::fileContents(config.ini()), binary);
    EXPECT_FALSE(fs::exists(config.ini().string() + ".bak"));
}

TEST_F(KivoMends, SaveBeyondTheFileSizeLimitIsReportedAsAFailure)
{
    // Room for what Kivo says, none for the file it must write.
    config.store("[Settings]\n9=" + std::string(4000, 'x') + "\n");
    e2e::HostProcess kivo(xvfb.displayName(), config.folder, {"--buttons", "2"}, {.fileSizeLimit = 2000});
    const int status = kivo.terminate(SIGTERM);
    EXPECT_TRUE(exitedWithFailure(status)) << status;
    EXPECT_THAT(kivo.errors(), HasSubstr("could not save"));
    EXPECT_EQ(test_support::fileContents(config.ini()).size(), 4014u) << "left as it was";
}

// The X server goes away under Kivo; the test keeps no connection to it.
TEST(KivoDisplayLoss, XServerEndingSavesTheCaptionsAndFails)
{
    PrivateXvfb xvfb;
    const ConfigHome config;
    config.store("[Settings]\n0=Button 1:  {Enter}\n");
    e2e::HostProcess kivo(xvfb.displayName(), config.folder, {"--buttons", "2"});
    kill(xvfb.pid(), SIGKILL);
    const int status = kivo.waitForExit();
    EXPECT_TRUE(exitedWithFailure(status)) << status;
    EXPECT_THAT(kivo.errors(), HasSubstr("X display went away"));
    EXPECT_EQ(test_support::fileContents(config.ini()), "[Settings]\n0=Button 1:  {Enter}\n1=\n");
}

}  // namespace
}  // namespace kivo
