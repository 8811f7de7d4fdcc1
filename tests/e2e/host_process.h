#pragma once

#include <sys/resource.h>
#include <sys/types.h>
#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

namespace kivo::e2e {

// How the host is started.
struct HostStart {
    // Wait for its "ready" line; a host expected to refuse to start does not print one.
    bool waitUntilReady = true;
    // The largest file it may write, as `ulimit -f` sets it.
    rlim_t fileSizeLimit = RLIM_INFINITY;
};

// kivo-e2e-host running on a given display with its settings in a given folder, spoken to
// through its standard input and output. What it says on standard error goes to a file.
class HostProcess {
public:
    // Starts the host and, unless told not to, waits for its "ready" line and its window in front. Throws
    // std::runtime_error on failure.
    HostProcess(const std::string& displayName, const std::filesystem::path& configHome,
                const std::vector<std::string>& arguments, HostStart start = {});
    ~HostProcess();
    HostProcess(const HostProcess&) = delete;
    HostProcess& operator=(const HostProcess&) = delete;

    unsigned long windowId() const { return windowId_; }
    // The named pipe the host's Kivo watches in place of the joystick's device node.
    const std::filesystem::path& joystickActivity() const { return joystickActivity_; }
    pid_t pid() const { return pid_; }
    // How often the host's threads have gone to sleep and been woken so far: the voluntary
    // context switches of each, from /proc/<pid>/task/<tid>/status.
    long wakeUps() const;

    void send(const std::string& line);
    // Sends "labels" and returns the label lines the host answers.
    std::vector<std::string> labels();
    // Asks for the labels until label `index` (from 0) starts with `start`, or the wait's
    // deadline passes; the last answer.
    std::vector<std::string> labelsOnce(std::size_t index, const std::string& start);
    // Waits until Kivo has seen its window come to the front; false at the deadline.
    bool waitUntilInFront();
    // How often the host woke in one second from now.
    long wakeUpsInASecond() const;
    // Sends the signal and waits for the host to end; returns its exit status as waitpid gives it.
    int terminate(int signal);
    // Waits for the host to end by itself; returns its status as waitpid gives it, or -1 when it
    // is still running at the wait's deadline.
    int waitForExit();
    // Everything it has written to standard error so far.
    std::string errors() const;

private:
    // Sends "labels" and returns every line of the answer before its "end".
    std::vector<std::string> answer();
    std::string readLine(std::chrono::milliseconds timeout);

    pid_t pid_ = -1;
    int toHost_ = -1;
    int fromHost_ = -1;
    std::string pending_;
    unsigned long windowId_ = 0;
    std::filesystem::path errorFile_;
    std::filesystem::path joystickActivity_;
};

// The path of the host program, next to this test binary's build tree, or $KIVO_E2E_HOST.
std::filesystem::path hostProgram();

}  // namespace kivo::e2e
