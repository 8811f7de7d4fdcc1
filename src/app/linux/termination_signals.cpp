#include "app/linux/termination_signals.h"

#include "platform/messages.h"

#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <string>

namespace kivo {

namespace {

constexpr std::array kSignals{SIGTERM, SIGHUP, SIGINT};

// The socket's write end; -1 while no instance is installed. An allowed global (see the
// README): a signal handler can reach nothing else.
int writeEnd = -1;
std::array<struct sigaction, kSignals.size()> previousActions{};

extern "C" void onTerminationSignal(int)
{
    const int savedErrno = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = write(writeEnd, &byte, 1);
    errno = savedErrno;
}

}  // namespace

TerminationSignals::TerminationSignals(std::function<void()> onSignal) : wakeUps_(signalled_, std::move(onSignal))
{
    if (writeEnd != -1) {
        reportProblem("termination signals are already being watched");
        return;
    }
    int ends[2];
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, ends) != 0) {
        reportProblem(std::string("cannot watch for termination signals: ") + std::strerror(errno));
        return;
    }
    writeEnd = ends[0];
    signalled_.watch(ends[1]);
    wakeUps_.rebind();
    installed_ = true;
    struct sigaction action {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < kSignals.size(); ++i)
        sigaction(kSignals[i], &action, &previousActions[i]);
}

TerminationSignals::~TerminationSignals()
{
    if (!installed_)
        return;
    for (std::size_t i = 0; i < kSignals.size(); ++i)
        sigaction(kSignals[i], &previousActions[i], nullptr);
    close(writeEnd);
    writeEnd = -1;
}

}  // namespace kivo
