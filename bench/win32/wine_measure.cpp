// Measures kivo-e2e-host.exe under Wine as a player meets it: this program is the game, a
// window in front that takes Kivo's keys, and drives the host's scripted joystick through a
// pipe. Prints figures next to their targets; nothing here passes or fails. Lines starting
// with '@' mark the idle period for wine_measure.sh, which counts Kivo's wake-ups from Linux.
//   kivo-wine-measure.exe PATH\kivo-e2e-host.exe [HOST OPTION...]
// The host options follow --buttons 4; --unwatched, say, measures Kivo polling.
#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <future>
#include <string>
#include <vector>

namespace {

constexpr WPARAM kF5 = VK_F5;
constexpr int kQuickPresses = 300;
constexpr int kIdlePresses = 30;
constexpr DWORD kIdleBeforePressMs = 1000;
constexpr DWORD kLostAfterMs = 1000;
constexpr DWORD kQuietMs = 30;
constexpr DWORD kRateWindowMs = 2000;
constexpr DWORD kIdleWindowMs = 10000;
// CREATE_WAITABLE_TIMER_HIGH_RESOLUTION, which older headers lack.
constexpr DWORD kHighResolutionTimer = 0x00000002;

double nowMs()
{
    static const double frequency = [] {
        LARGE_INTEGER value;
        QueryPerformanceFrequency(&value);
        return static_cast<double>(value.QuadPart);
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) * 1000 / frequency;
}

// Arrival times of every F5 key-down the game window has received.
std::vector<double> f5Arrivals;
double lastKeyMs = 0;

LRESULT CALLBACK gameProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_KEYDOWN || message == WM_KEYUP) {
        lastKeyMs = nowMs();
        if (message == WM_KEYDOWN && wParam == kF5)
            f5Arrivals.push_back(lastKeyMs);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// Runs this thread's messages until `done` says so or `timeoutMs` passes.
template <typename Done>
bool pumpUntil(Done done, DWORD timeoutMs)
{
    const double deadline = nowMs() + timeoutMs;
    MSG message;
    while (!done()) {
        const double left = deadline - nowMs();
        if (left <= 0)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(std::ceil(std::min(left, 1.0))), QS_ALLINPUT);
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&message);
    }
    return true;
}

void pumpFor(DWORD ms)
{
    pumpUntil([] { return false; }, ms);
}

bool waitForQuiet()
{
    return pumpUntil([] { return nowMs() - lastKeyMs >= kQuietMs; }, 2000);
}

double fileTimeSeconds(FILETIME time)
{
    return static_cast<double>((static_cast<unsigned long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime) / 1e7;
}

double threadCpuSeconds()
{
    FILETIME created, exited, kernel, user;
    GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
    return fileTimeSeconds(kernel) + fileTimeSeconds(user);
}

struct BareLoopCost {
    double cpuPercent;
    double wakeUpsPerSecond;
};

// What polling every millisecond costs here at the least: a thread that only waits for a 1 ms
// high-resolution waitable timer, as Timer1's thread does.
BareLoopCost measureBareLoop(DWORD windowMs)
{
    HANDLE timer = CreateWaitableTimerExW(nullptr, nullptr, kHighResolutionTimer, TIMER_ALL_ACCESS);
    if (timer == nullptr)
        timer = CreateWaitableTimerW(nullptr, FALSE, nullptr);
    LARGE_INTEGER due;
    due.QuadPart = -10000;
    SetWaitableTimer(timer, &due, 1, nullptr, nullptr, FALSE);
    const double cpuStart = threadCpuSeconds();
    const double start = nowMs();
    long wakeUps = 0;
    for (; nowMs() - start < windowMs; ++wakeUps)
        WaitForSingleObject(timer, INFINITE);
    const double seconds = (nowMs() - start) / 1000;
    const double cpu = threadCpuSeconds() - cpuStart;
    CloseHandle(timer);
    return {100 * cpu / seconds, static_cast<double>(wakeUps) / seconds};
}

class Host {
public:
    Host(const std::wstring& program, const std::wstring& options)
    {
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        HANDLE childInput = nullptr;
        HANDLE childOutput = nullptr;
        CreatePipe(&childInput, &toHost_, &inherit, 0);
        CreatePipe(&fromHost_, &childOutput, &inherit, 0);
        SetHandleInformation(toHost_, HANDLE_FLAG_INHERIT, 0);
        SetHandleInformation(fromHost_, HANDLE_FLAG_INHERIT, 0);
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = childInput;
        startup.hStdOutput = childOutput;
        startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
        std::wstring commandLine = L"\"" + program + L"\" --buttons 4" + options;
        PROCESS_INFORMATION process{};
        if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                            &process)) {
            std::fprintf(stderr, "kivo-wine-measure: cannot start the host (error %lu)\n", GetLastError());
            std::exit(1);
        }
        CloseHandle(process.hThread);
        CloseHandle(childInput);
        CloseHandle(childOutput);
        process_ = process.hProcess;
    }
    ~Host()
    {
        // As the close box: Kivo saves and ends.
        if (const HWND form = FindWindowW(L"KivoForm1", nullptr))
            PostMessageW(form, WM_CLOSE, 0, 0);
        WaitForSingleObject(process_, 10000);
        CloseHandle(process_);
        CloseHandle(toHost_);
        CloseHandle(fromHost_);
    }

    std::string readLine()
    {
        std::string line;
        char c;
        DWORD count;
        while (ReadFile(fromHost_, &c, 1, &count, nullptr) && count == 1 && c != '\n') {
            if (c != '\r')
                line += c;
        }
        return line;
    }
    void send(const char* line)
    {
        const std::string text = std::string(line) + "\n";
        DWORD written;
        WriteFile(toHost_, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    }
    PROCESS_MEMORY_COUNTERS memory() const
    {
        PROCESS_MEMORY_COUNTERS counters{};
        counters.cb = sizeof counters;
        GetProcessMemoryInfo(process_, &counters, sizeof counters);
        return counters;
    }

private:
    HANDLE process_ = nullptr;
    HANDLE toHost_ = nullptr;
    HANDLE fromHost_ = nullptr;
};

double percentile(std::vector<double> values, double fraction)
{
    std::sort(values.begin(), values.end());
    const auto rank = static_cast<std::size_t>(std::ceil(fraction * static_cast<double>(values.size())));
    return values[std::max<std::size_t>(rank, 1) - 1];
}

HWND openGameWindow()
{
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = gameProcedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = L"KivoMeasureGame";
    RegisterClassW(&windowClass);
    const HWND window = CreateWindowExW(0, windowClass.lpszClassName, L"Kivo measure game", WS_OVERLAPPEDWINDOW, 400,
                                        100, 300, 200, nullptr, nullptr, windowClass.hInstance, nullptr);
    ShowWindow(window, SW_SHOWNORMAL);
    SetForegroundWindow(window);
    pumpFor(500);
    return window;
}

struct LatencyRun {
    const char* title;
    int presses;
    // How long Kivo has had nothing to do before each press.
    DWORD idleBeforeMs;
    const char* medianTarget;
};

void measureLatency(Host& host, const LatencyRun& run)
{
    std::vector<double> latencies;
    int lost = 0;
    for (int press = 0; press < run.presses; ++press) {
        pumpFor(run.idleBeforeMs);
        const std::size_t before = f5Arrivals.size();
        const double sent = nowMs();
        host.send("press 1");
        if (pumpUntil([&] { return f5Arrivals.size() > before; }, kLostAfterMs))
            latencies.push_back(f5Arrivals[before] - sent);
        else
            ++lost;
        host.send("release 1");
        if (!waitForQuiet())
            std::printf("warning: keys kept coming after release %d\n", press + 1);
    }
    std::printf("button-to-key latency, %s, %d presses of button 1 ({F5}):\n", run.title, run.presses);
    if (!latencies.empty()) {
        std::printf("  median          %7.3f ms   (target %s)\n", percentile(latencies, 0.5), run.medianTarget);
        std::printf("  90th percentile %7.3f ms\n", percentile(latencies, 0.9));
        std::printf("  99th percentile %7.3f ms   (target < 3 ms)\n", percentile(latencies, 0.99));
        std::printf("  min / max       %7.3f / %.3f ms\n", percentile(latencies, 0), percentile(latencies, 1));
    }
    std::printf("  lost            %7d      (target 0)\n", lost);
}

void measureTickRate(Host& host)
{
    const std::size_t before = f5Arrivals.size();
    host.send("press 1");
    if (!pumpUntil([&] { return f5Arrivals.size() > before; }, kLostAfterMs)) {
        std::printf("tick rate: no F5 arrived\n");
        return;
    }
    const double first = f5Arrivals[before];
    pumpUntil([&] { return nowMs() - first >= kRateWindowMs; }, kRateWindowMs + 1000);
    const auto inWindow = std::count_if(f5Arrivals.begin() + static_cast<std::ptrdiff_t>(before), f5Arrivals.end(),
                                        [&](double at) { return at - first < kRateWindowMs; });
    host.send("release 1");
    waitForQuiet();
    std::printf("tick rate with button 1 held, over %lu s:\n", kRateWindowMs / 1000);
    std::printf("  F5 presses/s    %7.1f      (target >= 900)\n", inWindow * 1000.0 / kRateWindowMs);
}

// Kivo's cost while nothing happens, with the bare 1 ms loop running alongside as the reference.
// Kivo's CPU time and wake-ups are counted from the Linux side, between the two marks: Wine
// does not report another process's times.
void measureIdle(Host& host)
{
    std::printf("idle, stick at rest, the game in front, for %lu s:\n", kIdleWindowMs / 1000);
    std::printf("@idle-begins\n");
    std::fflush(stdout);
    std::future<BareLoopCost> bareLoop = std::async(std::launch::async, measureBareLoop, kIdleWindowMs);
    const double start = nowMs();
    pumpFor(kIdleWindowMs);
    const double seconds = (nowMs() - start) / 1000;
    const BareLoopCost bare = bareLoop.get();
    std::printf("@idle-ends %.3f %.3f\n", seconds, bare.cpuPercent);
    std::printf("  bare 1 ms loop  %7.3f %% of one core, %.1f wake-ups/s   (the reference for polling)\n",
                bare.cpuPercent, bare.wakeUpsPerSecond);
    const PROCESS_MEMORY_COUNTERS memory = host.memory();
    std::printf("memory of the Kivo process, as Wine reports it:\n");
    std::printf("  working set     %7.1f MB\n", static_cast<double>(memory.WorkingSetSize) / (1 << 20));
    std::printf("  peak            %7.1f MB\n", static_cast<double>(memory.PeakWorkingSetSize) / (1 << 20));
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: kivo-wine-measure PATH\\kivo-e2e-host.exe [HOST OPTION...]\n");
        return 2;
    }
    std::wstring options;
    for (int i = 2; i < argc; ++i)
        options += std::wstring(L" ") + argv[i];
    Host host(argv[1], options);
    const std::string ready = host.readLine();
    if (ready.rfind("ready ", 0) != 0) {
        std::fprintf(stderr, "kivo-wine-measure: the host did not start (got '%s')\n", ready.c_str());
        return 1;
    }
    // Button 1 is chosen the way a player chooses it: pressed with Kivo's window in front.
    pumpFor(500);
    host.send("press 1");
    pumpFor(100);
    host.send("release 1");
    pumpFor(100);
    openGameWindow();
    measureIdle(host);
    measureLatency(host, {"after 1 s idle", kIdlePresses, kIdleBeforePressMs, "no worse than 1.72 ms"});
    measureLatency(host, {"presses 30 ms apart", kQuickPresses, 0, "< 1 ms"});
    measureTickRate(host);
    std::fflush(stdout);
    return 0;
}
