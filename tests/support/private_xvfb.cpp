#include "support/private_xvfb.h"

#include "support/ending.h"
#include "support/waits.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <csignal>
#include <stdexcept>

namespace kivo::test_support {
namespace {

[[noreturn]] void runXvfb(int displayFd)
{
    // Xvfb must not outlive a test that crashes.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    fcntl(displayFd, F_SETFD, 0);
    const std::string fd = std::to_string(displayFd);
    execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-nolisten", "tcp", "-noreset", "-screen", "0", "1024x768x24",
           static_cast<char*>(nullptr));
    _exit(127);
}

// Xvfb writes the display number it chose, then a newline, once it accepts connections.
std::string readDisplayNumber(int fd)
{
    std::string number;
    pollfd readable{fd, POLLIN, 0};
    while (poll(&readable, 1, static_cast<int>(std::chrono::milliseconds(kWaitDeadline).count())) > 0) {
        char c = 0;
        if (read(fd, &c, 1) != 1) {
            break;
        }
        if (c == '\n') {
            return number;
        }
        number += c;
    }
    return {};
}

}  // namespace

PrivateXvfb::PrivateXvfb()
{
    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0) {
        throw std::runtime_error("PrivateXvfb: cannot create a pipe");
    }
    pid_ = fork();
    if (pid_ == 0) {
        runXvfb(pipeFds[1]);
    }
    close(pipeFds[1]);
    const std::string number = pid_ > 0 ? readDisplayNumber(pipeFds[0]) : std::string{};
    close(pipeFds[0]);
    if (number.empty()) {
        stop();
        throw std::runtime_error("PrivateXvfb: Xvfb did not start (is the xvfb package installed?)");
    }
    displayName_ = ":" + number;
}

PrivateXvfb::~PrivateXvfb()
{
    stop();
}

void PrivateXvfb::stop()
{
    if (pid_ > 0) {
        endProcess(pid_);
        pid_ = -1;
    }
}

}  // namespace kivo::test_support
