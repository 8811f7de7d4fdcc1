#include "e2e/host_process.h"

#include "support/ending.h"
#include "support/waits.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string_view>
#include <thread>

namespace kivo::e2e {
namespace {

using namespace std::chrono_literals;

constexpr std::string_view kVoluntarySwitches = "voluntary_ctxt_switches:";

// Private to the test, as a session's runtime folder is to its user, and removed with the
// settings folder, so no socket is left in /tmp.
std::filesystem::path runtimeFolder(const std::filesystem::path& configHome)
{
    return configHome / "runtime";
}

[[noreturn]] void runHost(const std::string& displayName, const std::filesystem::path& configHome,
                          const std::vector<std::string>& arguments, int input, int output, int errors,
                          const HostStart& start)
{
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    dup2(input, STDIN_FILENO);
    dup2(output, STDOUT_FILENO);
    dup2(errors, STDERR_FILENO);
    const rlimit fileSize{start.fileSizeLimit, start.fileSizeLimit};
    setrlimit(RLIMIT_FSIZE, &fileSize);
    setenv("DISPLAY", displayName.c_str(), 1);
    // The host drives Kivo's X11 path on the private display, even when started in a Wayland session.
    unsetenv("WAYLAND_DISPLAY");
    setenv("XDG_CONFIG_HOME", configHome.c_str(), 1);
    setenv("XDG_RUNTIME_DIR", runtimeFolder(configHome).c_str(), 1);
    const std::string program = hostProgram().string();
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const auto& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    execv(program.c_str(), argv.data());
    _exit(127);
}

}  // namespace

std::filesystem::path hostProgram()
{
    // Another build's host, to compare measurements with.
    if (const char* other = std::getenv("KIVO_E2E_HOST"); other != nullptr && *other != '\0')
        return other;
    return KIVO_E2E_HOST_PATH;
}

HostProcess::HostProcess(const std::string& displayName, const std::filesystem::path& configHome,
                         const std::vector<std::string>& arguments, HostStart start)
{
    std::filesystem::create_directories(runtimeFolder(configHome));
    std::filesystem::permissions(runtimeFolder(configHome), std::filesystem::perms::owner_all);
    joystickActivity_ = runtimeFolder(configHome) / "joystick-activity";
    int input[2];
    int output[2];
    if (pipe2(input, O_CLOEXEC) != 0 || pipe2(output, O_CLOEXEC) != 0)
        throw std::runtime_error("HostProcess: cannot create pipes");
    errorFile_ =
        configHome.parent_path() / (configHome.filename().string() + "-stderr-" +
                                    std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
    const int errors = open(errorFile_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (errors < 0)
        throw std::runtime_error("HostProcess: cannot create " + errorFile_.string());
    pid_ = fork();
    if (pid_ == 0)
        runHost(displayName, configHome, arguments, input[0], output[1], errors, start);
    close(errors);
    close(input[0]);
    close(output[1]);
    toHost_ = input[1];
    fromHost_ = output[0];
    if (!start.waitUntilReady)
        return;
    const std::string ready = readLine(test_support::kWaitDeadline);
    if (ready.rfind("ready ", 0) != 0) {
        terminate(SIGKILL);
        throw std::runtime_error("HostProcess: the host did not become ready (got '" + ready + "')");
    }
    windowId_ = std::stoul(ready.substr(6));
    // Kivo raises and activates its window as it starts, in requests that may still be on their way
    // to the X server; a test moving the focus or the stacking before they land would race them.
    if (!waitUntilInFront()) {
        terminate(SIGKILL);
        throw std::runtime_error("HostProcess: Kivo's window never came to the front");
    }
}

HostProcess::~HostProcess()
{
    if (pid_ > 0)
        terminate(SIGKILL);
    close(toHost_);
    close(fromHost_);
    std::filesystem::remove(errorFile_);
}

int HostProcess::waitForExit()
{
    int status = -1;
    test_support::waitFor([&] {
        if (pid_ <= 0 || waitpid(pid_, &status, WNOHANG) != pid_)
            return pid_ <= 0;
        pid_ = -1;
        return true;
    });
    return status;
}

std::string HostProcess::errors() const
{
    std::ifstream in(errorFile_, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void HostProcess::send(const std::string& line)
{
    const std::string text = line + "\n";
    if (write(toHost_, text.data(), text.size()) != static_cast<ssize_t>(text.size()))
        throw std::runtime_error("HostProcess: cannot write to the host");
}

long HostProcess::wakeUps() const
{
    long switches = 0;
    std::error_code error;
    for (const auto& task : std::filesystem::directory_iterator("/proc/" + std::to_string(pid_) + "/task", error)) {
        std::ifstream status(task.path() / "status");
        for (std::string line; std::getline(status, line);) {
            if (line.starts_with(kVoluntarySwitches))
                switches += std::stol(line.substr(kVoluntarySwitches.size()));
        }
    }
    return switches;
}

std::vector<std::string> HostProcess::answer()
{
    send("labels");
    std::vector<std::string> lines;
    for (std::string line = readLine(test_support::kWaitDeadline); line != "end";
         line = readLine(test_support::kWaitDeadline)) {
        if (line.empty())
            throw std::runtime_error("HostProcess: no answer to 'labels'");
        lines.push_back(line);
    }
    return lines;
}

std::vector<std::string> HostProcess::labels()
{
    std::vector<std::string> lines = answer();
    std::erase_if(lines, [](const std::string& line) { return !line.starts_with("label "); });
    return lines;
}

std::vector<std::string> HostProcess::labelsOnce(std::size_t index, const std::string& start)
{
    std::vector<std::string> lines;
    test_support::waitFor([&] {
        lines = labels();
        return index < lines.size() && lines[index].starts_with(start);
    });
    return lines;
}

bool HostProcess::waitUntilInFront()
{
    return test_support::waitFor([this] { return std::ranges::count(answer(), "front 1") == 1; });
}

long HostProcess::wakeUpsInASecond() const
{
    const long before = wakeUps();
    std::this_thread::sleep_for(1s);  // the span measured
    return wakeUps() - before;
}

int HostProcess::terminate(int signal)
{
    int status = -1;
    if (pid_ > 0) {
        status = test_support::endProcess(pid_, signal);
        pid_ = -1;
    }
    return status;
}

std::string HostProcess::readLine(std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        if (const auto end = pending_.find('\n'); end != std::string::npos) {
            std::string line = pending_.substr(0, end);
            pending_.erase(0, end + 1);
            return line;
        }
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        pollfd readable{fromHost_, POLLIN, 0};
        if (left.count() <= 0 || poll(&readable, 1, static_cast<int>(left.count())) <= 0)
            return {};
        char chunk[1024];
        const ssize_t count = read(fromHost_, chunk, sizeof chunk);
        if (count <= 0)
            return {};
        pending_.append(chunk, static_cast<std::size_t>(count));
    }
}

}  // namespace kivo::e2e
