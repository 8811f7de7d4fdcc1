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
        InstanceLock::Attempt attempt = lock.take();
        if (attempt.instance)
            return {.instance = std::move(attempt.instance), .whyUnlocked = std::move(attempt.problem)};
        if (std::string unaskable = lock.unaskable(); !unaskable.empty())
            return {.holder = lock.holder(), .unaskable = std::move(unaskable)};
        if (!launch)
            launch = tokens();
        const auto left = std::max(std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()), 1ms);
        if (const FrontAnswer answer = lock.askToComeToFront(*launch, left); answer != FrontAnswer::NoAnswer)
            return {.answer = answer};
        if (Clock::now() >= deadline)
            return {.holder = lock.holder()};
        std::this_thread::sleep_for(kRetryPause);
    }
}

std::string claimWords(const Claim& claim, const std::filesystem::path& settingsFile)
{
    if (claim.instance) {
        return claim.whyUnlocked.empty() ? std::string()
                                         : "cannot make sure no other Kivo uses " + quotedPath(settingsFile) + " (" +
                                               claim.whyUnlocked + "); starting anyway.";
    }
    const std::string running = "Kivo is already running with " + quotedPath(settingsFile);
    const std::string process = claim.holder ? " (process " + std::to_string(*claim.holder) + ")" : std::string();
    const std::string ends = " This start ends, so that two cannot overwrite each other's assignments.";
    if (!claim.unaskable.empty())
        return running + process + ", but it cannot be asked to bring its window to the front: " + claim.unaskable +
               "." + ends;
    switch (claim.answer) {
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
