#include "app/single_instance.h"

#include <algorithm>
#include <thread>

namespace kivo {
namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr auto kRetryPause = 100ms;

}  // namespace

Claim claimSingleInstance(InstanceLock& lock, const std::function<LaunchTokens()>& tokens,
                          std::chrono::milliseconds patience)
{
    const Clock::time_point deadline = Clock::now() + patience;
    std::optional<LaunchTokens> launch;
    for (;;) {
        // Taken again as soon as a Kivo that held it ends, even while this start waits for it.
        std::variant<Running, Held> attempt = lock.take();
        if (Running* running = std::get_if<Running>(&attempt))
            return std::move(*running);
        const Held& held = std::get<Held>(attempt);
        if (!held.unaskable.empty())
            return AlreadyRunning{.held = held};
        if (!launch)
            launch = tokens();
        const auto left = std::max(std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()), 1ms);
        if (const FrontAnswer answer = lock.askToComeToFront(*launch, left); answer != FrontAnswer::NoAnswer)
            return AlreadyRunning{.answer = answer, .held = held};
        if (Clock::now() >= deadline)
            return AlreadyRunning{.held = held};
        std::this_thread::sleep_for(kRetryPause);
    }
}

std::string claimWords(const Claim& claim, const std::filesystem::path& settingsFile)
{
    if (const Running* started = std::get_if<Running>(&claim)) {
        return started->whyUnlocked.empty() ? std::string()
                                            : "cannot make sure no other Kivo uses " + quotedPath(settingsFile) + " (" +
                                                  started->whyUnlocked + "); starting anyway.";
    }
    const AlreadyRunning& other = std::get<AlreadyRunning>(claim);
    const std::string running = "Kivo is already running with " + quotedPath(settingsFile);
    const std::string process =
        other.held.holder ? " (process " + std::to_string(*other.held.holder) + ")" : std::string();
    const std::string ends = " This start ends, so that two cannot overwrite each other's assignments.";
    if (!other.held.unaskable.empty()) {
        return running + process +
               ", but it cannot be asked to bring its window to the front: " + other.held.unaskable + "." + ends;
    }
    switch (other.answer) {
        case FrontAnswer::CameToFront:
            return running + "; its window is brought to the front instead.";
        case FrontAnswer::AskedOnly:
            return running + "; it was asked to bring its window to the front, but the desktop did not put it " +
                   "there (it may show that Kivo wants attention instead).";
        case FrontAnswer::NoAnswer:
            break;
    }
    return running + process + ", but its window did not come to the front: that Kivo is busy, still starting or " +
           "stopped." + ends;
}

}  // namespace kivo
