// Cost of the platform calls the engine makes on every 1 ms tick, under a private Xvfb and
// with SDL's virtual joystick. Kivo's own time is the benchmark's CPU time; the X server's
// share is the counter server_us (its user and system time per call, from /proc).
#include "platform/sdl/sdl_joystick.h"
#include "platform/wayland/wayland_backends.h"
#include "platform/x11/x11_services.h"
#include "support/private_xvfb.h"

#include <SDL.h>
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string>

namespace kivo {
namespace {

struct Platform {
    test_support::PrivateXvfb xvfb;
    std::unique_ptr<X11Services> x11 = openX11Services(xvfb.displayName());
    std::unique_ptr<Joystick> joystick = makeSdlJoystick();
};

Platform* platform = nullptr;

// User plus system time of a process, in microseconds.
double cpuMicroseconds(pid_t pid)
{
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    std::istringstream fields(text.substr(text.rfind(')') + 2));
    std::string field;
    double ticks = 0;
    // Fields 14 and 15 of the file; the name and the state before them are fields 2 and 3.
    for (int index = 3; index <= 15 && fields >> field; ++index) {
        if (index >= 14) {
            ticks += std::stod(field);
        }
    }
    return ticks * 1e6 / static_cast<double>(sysconf(_SC_CLK_TCK));
}

// Measures the X server's time over the benchmark loop.
class ServerTime {
public:
    explicit ServerTime(benchmark::State& state) : state_(state), start_(cpuMicroseconds(platform->xvfb.pid())) {}
    ~ServerTime()
    {
        // A keyboard-state read is a round trip: everything sent before it has been handled.
        KeyboardState keys{};
        platform->x11->keyboard().state(keys);
        state_.counters["server_us"] = benchmark::Counter((cpuMicroseconds(platform->xvfb.pid()) - start_) /
                                                          static_cast<double>(state_.iterations()));
    }
    ServerTime(const ServerTime&) = delete;
    ServerTime& operator=(const ServerTime&) = delete;

private:
    benchmark::State& state_;
    double start_;
};

void readJoystick(benchmark::State& state)
{
    JOYINFOEX info{};
    for (auto _ : state) {
        benchmark::DoNotOptimize(platform->joystick->position(0, info));
    }
}

void BM_JoystickReadWithoutJoystick(benchmark::State& state)
{
    readJoystick(state);
}

void BM_JoystickRead(benchmark::State& state)
{
    const int index = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, 2, 12, 0);
    readJoystick(state);
    SDL_JoystickDetachVirtual(index);
}

void BM_KeyboardState(benchmark::State& state)
{
    ServerTime server(state);
    KeyboardState keys{};
    for (auto _ : state) {
        benchmark::DoNotOptimize(platform->x11->keyboard().state(keys));
    }
}

void BM_ForegroundWindow(benchmark::State& state)
{
    ServerTime server(state);
    for (auto _ : state) {
        benchmark::DoNotOptimize(platform->x11->foreground().current());
    }
}

void BM_SendKey(benchmark::State& state)
{
    ServerTime server(state);
    for (auto _ : state) {
        platform->x11->sender().send(KeyString("{right}"));
    }
}

void BM_SendCharacterTheLayoutLacks(benchmark::State& state)
{
    ServerTime server(state);
    for (auto _ : state) {
        platform->x11->sender().send(KeyString("\xA3"));
    }
}

class NamedKeymap final : public KeymapSource {
public:
    explicit NamedKeymap(const char* name) : layout_(XkbLayout::fromNames(name).value_or(XkbLayout{})) {}
    const XkbLayout& layout() override { return layout_; }

private:
    XkbLayout layout_;
};

// The uinput sender's own cost, next to BM_SendKey: /dev/null stands in for /dev/uinput, so
// the kernel's and the compositor's share of a real key is left out, as the X server's is there.
void uinputSend(benchmark::State& state, const char* layout, const char* keys)
{
    const int descriptor = open("/dev/null", O_WRONLY | O_CLOEXEC);
    NamedKeymap keymap(layout);
    const std::unique_ptr<KeySender> sender = makeUinputKeySender(makeDescriptorKeyboard(descriptor), keymap);
    const KeyString parsed(keys);
    for (auto _ : state) {
        sender->send(parsed);
    }
    close(descriptor);
}

void BM_UinputSendKey(benchmark::State& state)
{
    uinputSend(state, "us", "{right}");
}

// A held button's character typed with AltGr, as on every tick of the default mode: the euro sign on de.
void BM_UinputSendAltGrCharacter(benchmark::State& state)
{
    uinputSend(state, "de", "\x80");
}

// What one idle tick asks of the platform with Kivo's window in front: nothing held, nothing typed.
void BM_IdleTick(benchmark::State& state)
{
    const int index = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, 2, 12, 0);
    ServerTime server(state);
    JOYINFOEX info{};
    KeyboardState keys{};
    for (auto _ : state) {
        benchmark::DoNotOptimize(platform->joystick->position(0, info));
        benchmark::DoNotOptimize(platform->x11->foreground().current());
        benchmark::DoNotOptimize(platform->x11->keyboard().state(keys));
    }
    SDL_JoystickDetachVirtual(index);
}

BENCHMARK(BM_JoystickReadWithoutJoystick);
BENCHMARK(BM_JoystickRead);
BENCHMARK(BM_KeyboardState);
BENCHMARK(BM_ForegroundWindow);
BENCHMARK(BM_SendKey);
BENCHMARK(BM_SendCharacterTheLayoutLacks);
BENCHMARK(BM_UinputSendKey);
BENCHMARK(BM_UinputSendAltGrCharacter);
BENCHMARK(BM_IdleTick);

}  // namespace
}  // namespace kivo

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    kivo::Platform platform;
    if (!platform.x11) {
        return 1;
    }
    kivo::platform = &platform;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
