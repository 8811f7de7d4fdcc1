#pragma once

#include <QSocketNotifier>

#include <functional>
#include <memory>

namespace kivo {

// Turns SIGTERM, SIGHUP and SIGINT into a call on the GUI thread: the handler only writes a
// byte to a socket, which the event loop reads. One instance at a time; it restores the
// previous handlers when it goes.
class TerminationSignals {
public:
    explicit TerminationSignals(std::function<void()> onSignal);
    ~TerminationSignals();
    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

private:
    void drain();

    std::function<void()> onSignal_;
    std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace kivo
