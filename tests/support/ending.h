#pragma once

#include "support/waits.h"

#include <sys/types.h>
#include <sys/wait.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <fstream>
#include <string>

namespace kivo::test_support {

// Whether a process that is not this one's child has ended: gone, or a zombie that whoever
// adopted it has not reaped yet.
inline bool endedElsewhere(pid_t pid)
{
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    std::getline(stat, line);
    const auto name = line.rfind(')');
    return line.empty() || (name != std::string::npos && line.compare(name, 3, ") Z") == 0);
}

// Ends a process a test started, so that no test sits in its teardown: `signal` first, then
// SIGKILL once `grace` is over (an X server has been seen to miss its SIGTERM). A daemon that
// left its parent is waited for until it is gone. Its status as waitpid gives it, or -1.
inline int endProcess(pid_t pid, int signal = SIGTERM, std::chrono::milliseconds grace = kWaitDeadline)
{
    int status = -1;
    const auto ended = [&] {
        const pid_t reaped = ::waitpid(pid, &status, WNOHANG);
        return reaped == pid || (reaped < 0 && errno == ECHILD && endedElsewhere(pid));
    };
    ::kill(pid, signal);
    if (!waitFor(ended, pauseBeforeAsking, grace)) {
        ::kill(pid, SIGKILL);
        waitFor(ended);
    }
    return status;
}

}  // namespace kivo::test_support
