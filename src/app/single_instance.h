#pragma once

#include "platform/messages.h"
#include "settings/location.h"
#include "window/exit_status.h"

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <variant>

namespace kivo {

// What lets the desktop bring a running Kivo's window to the front for a later start, one field
// per kind: each desktop honours only its own, and the other's is no use to it.
struct LaunchTokens {
    // XDG_ACTIVATION_TOKEN, for a Wayland compositor.
    std::string activation;
    // DESKTOP_STARTUP_ID, for an X11 window manager, XWayland's too.
    std::string startupId;
};

// What a running Kivo answers when asked to come to the front.
enum class FrontAnswer { CameToFront, AskedOnly, NoAnswer };

// One Kivo per settings file, so that two copies cannot overwrite each other's assignments. A
// start claims the file it will use; the claim lasts as long as this object.
class SingleInstance {
public:
    virtual ~SingleInstance() = default;

    // Tells the later start whether the window became active.
    using Answer = std::function<void(bool cameToFront)>;
    // Asks the window to come to the front, with the tokens of the later start's launcher, and
    // answers once it knows.
    using FrontRequest = std::function<void(const LaunchTokens& tokens, Answer answer)>;

    // Calls comeToFront whenever a later start with the same settings file asks.
    virtual void listen(FrontRequest comeToFront) = 0;
};

// A start that runs: it holds the lock, or cannot have one at all.
struct Running {
    std::unique_ptr<SingleInstance> instance;
    // Why this start runs without making sure it is the only Kivo; empty when it made sure.
    std::string whyUnlocked{};
};

// Another Kivo holds the lock: its process, where the system tells it, and why it cannot be asked
// at all, when that is known without asking.
struct Held {
    std::optional<long> holder{};
    std::string unaskable{};
};

// What each platform gives the claim: a lock the system drops when its holder ends, and its way
// of asking the Kivo that holds it to come to the front.
class InstanceLock {
public:
    virtual ~InstanceLock() = default;

    // Tries once to take the lock.
    virtual std::variant<Running, Held> take() = 0;
    // Asks the holder to come to the front, handing it tokens; patience bounds how long it may
    // take to take the request, after which it answers once it knows.
    virtual FrontAnswer askToComeToFront(const LaunchTokens& tokens, std::chrono::milliseconds patience) = 0;
};

// Another Kivo runs with the file, and this start is to end: what it answered, and what the lock
// told of it.
struct AlreadyRunning {
    FrontAnswer answer = FrontAnswer::NoAnswer;
    Held held{};
};

// What came of a claim.
using Claim = std::variant<Running, AlreadyRunning>;

// The claim's instance when this start runs; null when another Kivo does.
inline SingleInstance* runningInstance(const Claim& claim)
{
    const Running* running = std::get_if<Running>(&claim);
    return running ? running->instance.get() : nullptr;
}

// How long a running Kivo waits for its window to become active before it answers that it only
// asked: a desktop that grants the request does so in a few round trips. An asker waits this long
// beyond its patience for the answer.
inline constexpr std::chrono::milliseconds kActivationWait{3000};

// As long as a Kivo starting up may take to answer; one that has not answered by then is busy,
// still starting or stopped, and the later start ends all the same.
inline constexpr std::chrono::milliseconds kClaimPatience{5000};

// Takes lock, or asks the Kivo holding it to come to the front, handing it what tokens gives
// (asked only then), until it answers or patience runs out.
Claim claimSingleInstance(InstanceLock& lock, const std::function<LaunchTokens()>& tokens,
                          std::chrono::milliseconds patience = kClaimPatience);

// Claims settingsFile with the platform's lock, named as the platform names it whichever path
// reached it; each platform has its own.
Claim claimSingleInstance(const std::filesystem::path& settingsFile);

// What a start says of its claim of settingsFile, one line; empty when there is nothing to say.
std::string claimWords(const Claim& claim, const std::filesystem::path& settingsFile);

// Runs Kivo while this start holds its settings file, the one place every platform claims it:
// start builds the window, which comes to the front whenever a later start asks through the
// instance, and gives the exit status. A start that finds another Kivo running says so and
// ends, and succeeds.
template <class Start>
int runClaimed(const Start& start)
{
    const std::filesystem::path settingsFile = defaultSettingsLocation().writeTo;
    const Claim claim = claimSingleInstance(settingsFile);
    if (const std::string words = claimWords(claim, settingsFile); !words.empty())
        reportProblem(words);
    SingleInstance* instance = runningInstance(claim);
    return instance ? start(*instance) : kExitSuccess;
}

}  // namespace kivo
