// Measures the whole program as a player meets it: kivo-e2e-host under a private Xvfb, a
// receiving X client in front, keys typed for buttons and stick. Prints figures next to
// their targets; nothing here passes or fails.
#include "bare_loop.h"
#include "e2e/host_process.h"
#include "key_arrivals.h"
#include "process_usage.h"
#include "support/key_recorder.h"
#include "support/private_xvfb.h"

#include <X11/keysym.h>

#include <fcntl.h>
#include <unistd.h>
#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <functional>
#include <future>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace kivo::bench {
namespace {

using namespace std::chrono_literals;
using Clock = KeyArrivals::Clock;
using Milliseconds = std::chrono::duration<double, std::milli>;

constexpr int kIdlePresses = 150;
constexpr int kQuickPresses = 300;
constexpr auto kLostAfter = 1s;
// Longer than any gap between two ticks' keys, so the next press starts with Kivo silent.
constexpr auto kQuiet = 30ms;
constexpr auto kRateWindow = 2s;
constexpr auto kIdleWindow = 10s;
// Time for Kivo to see a focus change or a command before the next step relies on it.
constexpr auto kSettle = 100ms;

// A settings folder of its own, holding assignments for the buttons the host offers, and
// choosing held keys when asked.
class ConfigHome {
public:
    explicit ConfigHome(bool holdKeys)
        : path_(std::filesystem::temp_directory_path() /
                ("kivo-e2e-measure-" + std::to_string(::getpid()) + (holdKeys ? "-held" : "")))
    {
        std::filesystem::create_directories(path_ / "kivo");
        std::ofstream(path_ / "kivo" / "kivo.ini")
            << "[Settings]\n0=Button 1:  {F5}\n1=Button 2:  a\n2=Button 3:  {Enter}\n3=Button 4:  \n"
            << (holdKeys ? "HoldKeys=1\n" : "");
    }
    ~ConfigHome() { std::filesystem::remove_all(path_); }
    ConfigHome(const ConfigHome&) = delete;
    ConfigHome& operator=(const ConfigHome&) = delete;

    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

struct Session {
    explicit Session(bool holdKeys = false) : config(holdKeys) {}

    test_support::PrivateXvfb xvfb;
    ConfigHome config;
    test_support::KeyRecorder game{xvfb.displayName()};
    KeyArrivals arrivals{game.display()};
    KeyCode f5 = XKeysymToKeycode(game.display(), XK_F5);
    KeyCode right = XKeysymToKeycode(game.display(), XK_Right);
    e2e::HostProcess kivo{xvfb.displayName(), config.path(), {"--buttons", "4"}};

    void focusKivo()
    {
        XSetInputFocus(game.display(), kivo.windowId(), RevertToPointerRoot, CurrentTime);
        XSync(game.display(), False);
        std::this_thread::sleep_for(kSettle);
    }
    void focusGame()
    {
        game.takeFocus();
        std::this_thread::sleep_for(kSettle);
        arrivals.waitForQuiet(kQuiet, Clock::now() + 1s);
    }
};

// Button 1 is chosen the way a player chooses it: pressed with Kivo's window in front.
bool selectButtonOne(Session& session)
{
    session.focusKivo();
    session.kivo.send("press 1");
    std::this_thread::sleep_for(kSettle);
    session.kivo.send("release 1");
    const std::vector<std::string> labels = session.kivo.labels();
    return !labels.empty() && labels.front() == "label 1 1 Button 1:  {F5}";
}

double percentile(std::vector<double> values, double fraction)
{
    std::ranges::sort(values);
    const auto rank = static_cast<std::size_t>(std::ceil(fraction * static_cast<double>(values.size())));
    return values[std::max<std::size_t>(rank, 1) - 1];
}

// The floor beside Kivo: kivo_latency_floor on the same display, typing F5 into the same
// receiver whenever it is sent a line.
class LatencyFloor {
public:
    explicit LatencyFloor(Session& session)
        : session_(session),
          input_(popen((std::string(KIVO_LATENCY_FLOOR_PATH) + " " + session.xvfb.displayName()).c_str(), "w"))
    {
        // Its first key also says that it has its connection.
        if (input_ == nullptr || !typeKey())
            throw std::runtime_error("kivo_latency_floor typed no key");
    }
    ~LatencyFloor()
    {
        if (input_ != nullptr)
            pclose(input_);
    }
    LatencyFloor(const LatencyFloor&) = delete;
    LatencyFloor& operator=(const LatencyFloor&) = delete;

    void press()
    {
        std::fputs("F5\n", input_);
        std::fflush(input_);
    }

private:
    bool typeKey()
    {
        press();
        const bool typed = session_.arrivals.nextPress(session_.f5, Clock::now() + 5s).has_value();
        session_.arrivals.waitForQuiet(kQuiet, Clock::now() + 2s);
        return typed;
    }

    Session& session_;
    FILE* input_;
};

struct Latencies {
    std::vector<double> milliseconds;
    int lost = 0;
};

// Times one F5 from `press` to its arrival at the receiver, then lets the keys die down.
void timeKey(Session& session, Latencies& into, const std::function<void()>& press,
             const std::function<void()>& release)
{
    const Clock::time_point sent = Clock::now();
    press();
    if (const auto arrived = session.arrivals.nextPress(session.f5, sent + kLostAfter)) {
        into.milliseconds.push_back(Milliseconds(*arrived - sent).count());
    } else {
        ++into.lost;
    }
    release();
    if (!session.arrivals.waitForQuiet(kQuiet, Clock::now() + 2s)) {
        std::printf("warning: keys kept coming after press %zu\n", into.milliseconds.size() + into.lost);
    }
}

void printLatencies(const Latencies& times, const char* medianTarget, const char* p99Target)
{
    const std::vector<double>& all = times.milliseconds;
    if (!all.empty()) {
        std::printf("  median          %7.3f ms   (target %s)\n", percentile(all, 0.5), medianTarget);
        std::printf("  90th percentile %7.3f ms\n", percentile(all, 0.9));
        std::printf("  99th percentile %7.3f ms   (target %s)\n", percentile(all, 0.99), p99Target);
        std::printf("  min / max       %7.3f / %.3f ms\n", percentile(all, 0), percentile(all, 1));
    }
    std::printf("  lost            %7d      (target 0; no KeyPress within %lld ms)\n", times.lost,
                static_cast<long long>(std::chrono::milliseconds(kLostAfter).count()));
}

struct LatencyRun {
    const char* title;
    int presses;
    // How long Kivo has had nothing to do before each press.
    std::chrono::milliseconds idleBefore;
    const char* medianTarget;
    const char* p99Target;
};

// With a floor, a key of the floor's follows each of Kivo's, after the same idle time: the X
// server and the receiver, too, answer a key after a second's quiet more slowly than one 30 ms
// after the last.
void measureLatency(Session& session, const LatencyRun& run, LatencyFloor* floor = nullptr)
{
    Latencies kivo;
    Latencies bare;
    for (int press = 0; press < run.presses; ++press) {
        std::this_thread::sleep_for(run.idleBefore);
        timeKey(
            session, kivo, [&] { session.kivo.send("press 1"); }, [&] { session.kivo.send("release 1"); });
        if (floor != nullptr) {
            std::this_thread::sleep_for(run.idleBefore);
            timeKey(
                session, bare, [&] { floor->press(); }, [] {});
        }
    }
    std::printf("button-to-key latency, %s, %d presses of button 1 ({F5}):\n", run.title, run.presses);
    printLatencies(kivo, run.medianTarget, run.p99Target);
    if (floor == nullptr || kivo.milliseconds.empty() || bare.milliseconds.empty())
        return;
    std::printf("the floor beside it: a bare program woken through a pipe types F5 through XTest:\n");
    printLatencies(bare, "none", "none");
    std::printf("  Kivo / floor    %7.2fx median (target <= 1.3x), %.2fx 99th percentile\n",
                percentile(kivo.milliseconds, 0.5) / percentile(bare.milliseconds, 0.5),
                percentile(kivo.milliseconds, 0.99) / percentile(bare.milliseconds, 0.99));
}

// Kivo types one key per tick while the input is held, so keys per second is ticks per second.
double keysPerSecond(Session& session, const char* hold, const char* letGo, KeyCode keycode)
{
    session.kivo.send(hold);
    const auto first = session.arrivals.nextPress(keycode, Clock::now() + kLostAfter);
    const std::size_t count = first ? session.arrivals.countPresses(keycode, *first + kRateWindow) : 0;
    session.kivo.send(letGo);
    session.arrivals.waitForQuiet(kQuiet, Clock::now() + 2s);
    return static_cast<double>(count) / std::chrono::duration<double>(kRateWindow).count();
}

void measureTickRate(Session& session)
{
    std::printf("achieved tick rate (timer interval 1 ms, so 1000/s at best), over %lld s:\n",
                static_cast<long long>(std::chrono::seconds(kRateWindow).count()));
    std::printf("  button 1 held   %7.1f F5 presses/s   (target >= 900)\n",
                keysPerSecond(session, "press 1", "release 1", session.f5));
    std::printf("  stick right     %7.1f Right presses/s\n",
                keysPerSecond(session, "axes 65535 32767", "axes 32767 32767", session.right));
}

// Kivo's cost while it does what it is asked: its CPU time and how often its threads wake, with the
// bare 1 ms loop, when asked for, running alongside as the reference.
void measureCost(Session& session, const char* what, bool withBareLoop)
{
    const pid_t kivo = session.kivo.pid();
    const pid_t server = session.xvfb.pid();
    std::future<BareLoopCost> bareLoop;
    if (withBareLoop)
        bareLoop = std::async(std::launch::async, measureBareLoop, kIdleWindow);
    const double kivoStart = cpuSeconds(kivo);
    const double serverStart = cpuSeconds(server);
    const long wakeUpsStart = session.kivo.wakeUps();
    const Clock::time_point start = Clock::now();
    std::this_thread::sleep_for(kIdleWindow);
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    std::printf("%s, over %.1f s:\n", what, seconds);
    std::printf("  Kivo CPU        %7.3f %% of one core\n", 100 * (cpuSeconds(kivo) - kivoStart) / seconds);
    std::printf("  Kivo wake-ups   %7.1f /s   (voluntary context switches, all threads)\n",
                static_cast<double>(session.kivo.wakeUps() - wakeUpsStart) / seconds);
    std::printf("  Xvfb CPU        %7.3f %% of one core   (the server's share of Kivo's requests)\n",
                100 * (cpuSeconds(server) - serverStart) / seconds);
    if (withBareLoop) {
        const BareLoopCost bare = bareLoop.get();
        std::printf("  bare 1 ms loop  %7.3f %% of one core, %.1f wake-ups/s   (the reference for polling)\n",
                    bare.cpuPercent, bare.wakeUpsPerSecond);
    }
}

// A stick that sends events while it rests inside the dead zone, as worn ones do: each wakes
// Kivo, which must not cost more then than ticking does (Kivo's own window in front, below).
void measureNoisyStick(Session& session, int eventsPerSecond)
{
    const int activity = open(session.kivo.joystickActivity().c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    std::atomic<bool> stop = false;
    std::thread device([&] {
        const auto period = std::chrono::nanoseconds(1s) / eventsPerSecond;
        for (auto next = Clock::now(); !stop; next += period) {
            std::this_thread::sleep_until(next);
            [[maybe_unused]] const ssize_t written = write(activity, "!", 1);
        }
    });
    const pid_t kivo = session.kivo.pid();
    const double kivoStart = cpuSeconds(kivo);
    const long wakeUpsStart = session.kivo.wakeUps();
    const Clock::time_point start = Clock::now();
    std::this_thread::sleep_for(kIdleWindow);
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    const double cpu = 100 * (cpuSeconds(kivo) - kivoStart) / seconds;
    const double wakeUps = static_cast<double>(session.kivo.wakeUps() - wakeUpsStart) / seconds;
    stop = true;
    device.join();
    close(activity);
    std::printf("noisy stick at rest, %d events/s, the receiver in front, over %.1f s:\n", eventsPerSecond, seconds);
    std::printf("  Kivo CPU        %7.3f %% of one core   (target: no more than while ticking)\n", cpu);
    std::printf("  Kivo wake-ups   %7.1f /s   (target <= 1000 and the event rate)\n", wakeUps);
}

// Held down, a key costs nothing until it is let go: Kivo sleeps while the server repeats it.
void measureButtonHeld(Session& session, const char* what)
{
    session.kivo.send("press 1");
    session.arrivals.nextPress(session.f5, Clock::now() + kLostAfter);
    measureCost(session, what, true);
    session.kivo.send("release 1");
    session.arrivals.waitForQuiet(kQuiet, Clock::now() + 2s);
}

void printMemory(Session& session)
{
    const pid_t kivo = session.kivo.pid();
    std::printf("resident memory of the Kivo process:\n");
    std::printf("  VmRSS           %7.1f MB   (target < 40 MB)\n",
                static_cast<double>(statusKilobytes(kivo, "VmRSS")) / 1024);
    std::printf("  VmHWM           %7.1f MB\n", static_cast<double>(statusKilobytes(kivo, "VmHWM")) / 1024);
}

int run()
{
    std::printf("load average at start: %s (%ld cores)\n", loadAverage().c_str(), sysconf(_SC_NPROCESSORS_ONLN));
    Session session;
    if (!selectButtonOne(session)) {
        std::fprintf(stderr, "kivo_e2e_measure: pressing button 1 with Kivo in front did not select it\n");
        return 1;
    }
    session.focusGame();
    measureCost(session, "idle, stick at rest, the receiver in front", true);
    LatencyFloor floor(session);
    measureLatency(session, {"after 1 s idle", kIdlePresses, 1s, "< 0.3 ms", "< 2 ms"}, &floor);
    measureLatency(session, {"presses 30 ms apart", kQuickPresses, 0ms, "< 1 ms", "< 3 ms"});
    measureTickRate(session);
    for (const int eventsPerSecond : {200, 900, 2200})
        measureNoisyStick(session, eventsPerSecond);
    measureButtonHeld(session, "button 1 held, a key stroke every tick, the receiver in front");
    session.focusKivo();
    measureCost(session, "idle, stick at rest, Kivo's own window (ticking) in front", false);
    printMemory(session);
    Session holding(true);
    if (selectButtonOne(holding)) {
        holding.focusGame();
        measureButtonHeld(holding, "button 1 held down (HoldKeys=1), the receiver in front");
    }
    std::printf("load average at end: %s\n", loadAverage().c_str());
    return 0;
}

}  // namespace
}  // namespace kivo::bench

int main()
{
    try {
        return kivo::bench::run();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "kivo_e2e_measure: %s\n", error.what());
        return 1;
    }
}
