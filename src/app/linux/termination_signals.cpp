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

// The two ends of the socket pair; -1 while no instance is installed. An allowed global (see
// the README): a signal handler can reach nothing else.
int writeEnd = -1;
int readEnd = -1;
std::array<struct sigaction, kSignals.size()> previousActions{};

extern "C" void onTerminationSignal(int)
{
    const int savedErrno = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = write(writeEnd, &byte, 1);
    errno = savedErrno;
}

bool openSocketPair()
{
    int ends[2];
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, ends) != 0) {
        reportProblem(std::string("cannot watch for termination signals: ") + std::strerror(errno));
        return false;
    }
    writeEnd = ends[0];
    readEnd = ends[1];
    return true;
}

void closeSocketPair()
{
    close(writeEnd);
    close(readEnd);
    writeEnd = -1;
    readEnd = -1;
}

}  // namespace

TerminationSignals::TerminationSignals(std::function<void()> onSignal) : onSignal_(std::move(onSignal))
{
    if (writeEnd != -1) {
        reportProblem("termination signals are already being watched");
        return;
    }
    if (!openSocketPair())
        return;
    struct sigaction action {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < kSignals.size(); ++i)
        sigaction(kSignals[i], &action, &previousActions[i]);
    notifier_ = std::make_unique<QSocketNotifier>(readEnd, QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, notifier_.get(), [this] { drain(); });
}

TerminationSignals::~TerminationSignals()
{
    if (!notifier_)
        return;
    notifier_.reset();
    for (std::size_t i = 0; i < kSignals.size(); ++i)
        sigaction(kSignals[i], &previousActions[i], nullptr);
    closeSocketPair();
}

void TerminationSignals::drain()
{
    std::array<char, 64> bytes;
    while (read(readEnd, bytes.data(), bytes.size()) > 0) {
    }
    onSignal_();
}

}  // namespace kivo
