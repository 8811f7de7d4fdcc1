#pragma once

#include <sys/types.h>
#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

namespace kivo::e2e {

// kivo-e2e-host running on a given display with its settings in a given folder, spoken to
// through its standard input and output.
class HostProcess {
public:
    // Starts the host and waits for its "ready" line. Throws std::runtime_error on failure.
    HostProcess(const std::string& displayName, const std::filesystem::path& configHome,
                const std::vector<std::string>& arguments);
    ~HostProcess();
    HostProcess(const HostProcess&) = delete;
    HostProcess& operator=(const HostProcess&) = delete;

    unsigned long windowId() const { return windowId_; }
    pid_t pid() const { return pid_; }

    void send(const std::string& line);
    // Sends "labels" and returns the lines the host answers, up to its "end".
    std::vector<std::string> labels();
    // Sends the signal and waits for the host to end; returns its exit status as waitpid gives it.
    int terminate(int signal);

private:
    std::string readLine(std::chrono::milliseconds timeout);

    pid_t pid_ = -1;
    int toHost_ = -1;
    int fromHost_ = -1;
    std::string pending_;
    unsigned long windowId_ = 0;
};

// The path of the host program, next to this test binary's build tree.
std::filesystem::path hostProgram();

}  // namespace kivo::e2e
