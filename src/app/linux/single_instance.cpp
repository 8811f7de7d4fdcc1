#include "app/linux/single_instance.h"

#include "app/linux/front_protocol.h"
#include "app/linux/front_server.h"
#include "app/linux/kernel_locks.h"

#include "platform/messages.h"
#include "platform/wayland/activation_token.h"
#include "settings/file_replace.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLocalSocket>

#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <system_error>
#include <utility>

namespace kivo {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr int kProbeTimeoutMs = 200;

std::string socketPrefix()
{
    return "kivo-" + std::to_string(::getuid()) + "-";
}

// The socket's name and the lock's, one per settings file and user.
std::string nameFor(const fs::path& settingsFile)
{
    const QByteArray hash =
        QCryptographicHash::hash(QByteArray::fromStdString(settingsFile.string()), QCryptographicHash::Sha1);
    return socketPrefix() + hash.toHex().left(16).toStdString();
}

// Lock and socket must name the file the same way, whichever path reached it: the file a save
// writes, also through a link to no file yet.
fs::path resolved(const fs::path& settingsFile)
{
    std::error_code error;
    fs::path canonical = fs::weakly_canonical(replacedFile(settingsFile), error);
    return error ? settingsFile : canonical;
}

// In a shared folder another user may have taken the name first; only this user's are used.
bool ownSocket(const fs::path& path)
{
    struct stat status {};
    return ::lstat(path.c_str(), &status) == 0 && S_ISSOCK(status.st_mode) && status.st_uid == ::getuid();
}

bool listening(const QString& socketPath)
{
    QLocalSocket probe;
    probe.connectToServer(socketPath);
    return probe.waitForConnected(kProbeTimeoutMs);
}

// Sockets of Kivos that were killed or lost their display; only this user's, and only those
// nothing listens on.
void removeDeadSockets(const fs::path& folder)
{
    const std::string prefix = socketPrefix();
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder, error)) {
        if (entry.path().filename().string().starts_with(prefix) && ownSocket(entry.path()) &&
            !listening(QString::fromStdString(entry.path().string()))) {
            fs::remove(entry.path(), error);
        }
    }
}

std::string fromEnvironment(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

}  // namespace

fs::path LinuxInstanceLock::socketFolder()
{
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime != nullptr && fs::path(runtime).is_absolute())
        return runtime;
    return QDir::tempPath().toStdString();
}

LinuxInstanceLock::LinuxInstanceLock(const fs::path& settingsFile, const fs::path& socketFolder)
{
    if (settingsFile.empty())
        return;
    std::error_code error;
    if (!fs::create_directories(settingsFile.parent_path(), error) && error) {
        openProblem_ = "cannot create the folder " + quotedPath(settingsFile.parent_path()) + ": " + error.message();
    }
    const fs::path file = resolved(settingsFile);
    lockPath_ = file;
    lockPath_ += ".lock";
    removeDeadSockets(socketFolder);
    const std::string name = nameFor(file);
    socketPath_ = (socketFolder / name).string();
    heldName_ = name + ".lock";
    if (openProblem_.empty())
        lock_ = openLockFile(lockPath_, openProblem_);
}

LinuxInstanceLock::~LinuxInstanceLock()
{
    if (lock_ >= 0)
        ::close(lock_);
}

// The held name is the lock: no game with the settings folder frees it. The lock file is locked
// as well, so that a Kivo of an earlier version, which locks only the file, counts, and so that
// /proc/locks names the holder.
std::variant<Running, Held> LinuxInstanceLock::take()
{
    const QString serverName = QString::fromStdString(socketPath_);
    const int name = heldName_.empty() ? -1 : holdAbstractName(heldName_);
    const int nameError = errno;
    if (name < 0 && nameError == EADDRINUSE)
        return held();
    std::string lockProblem = openProblem_;
    int result = lock_ < 0 ? -1 : 0;
    while (lock_ >= 0 && (result = ::flock(lock_, LOCK_EX | LOCK_NB)) != 0 && errno == EINTR) {
    }
    if (lock_ >= 0 && result != 0 && errno == EWOULDBLOCK) {
        if (name >= 0)
            ::close(name);
        return held();
    }
    if (lock_ >= 0 && result != 0)
        lockProblem = "cannot lock " + quotedPath(lockPath_) + ": " + std::strerror(errno);
    const int lock = result == 0 ? std::exchange(lock_, -1) : -1;
    std::string whyUnlocked;
    if (name < 0 && !heldName_.empty())
        whyUnlocked = "cannot hold the name \"" + heldName_ + "\": " + std::strerror(nameError);
    if (name < 0 && !lockProblem.empty())
        whyUnlocked += (whyUnlocked.empty() ? "" : "; ") + lockProblem;
    return Running{makeFrontServer(lock, name, serverName), whyUnlocked};
}

Held LinuxInstanceLock::held() const
{
    return {flockHolder(lock_), takenByAnotherUser(socketPath_)};
}

FrontAnswer LinuxInstanceLock::askToComeToFront(const LaunchTokens& tokens, std::chrono::milliseconds patience)
{
    if (!ownSocket(socketPath_))
        return FrontAnswer::NoAnswer;
    QLocalSocket socket;
    socket.connectToServer(QString::fromStdString(socketPath_));
    if (!socket.waitForConnected(static_cast<int>(patience.count())))
        return FrontAnswer::NoAnswer;
    socket.write(requestLine(tokens));
    // The running Kivo answers once its window is active, or once it has waited for that in vain.
    const Clock::time_point deadline = Clock::now() + kActivationWait + patience;
    while (!socket.canReadLine()) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left <= 0ms || !socket.waitForReadyRead(static_cast<int>(left.count())))
            return FrontAnswer::NoAnswer;
    }
    const QByteArray answer = socket.readLine();
    if (answer == kCameToFront)
        return FrontAnswer::CameToFront;
    return answer == kAskedOnly ? FrontAnswer::AskedOnly : FrontAnswer::NoAnswer;
}

namespace {

// Compositors hand out a token within a few round trips; a start that waits longer for one leaves
// less of the claim's patience for the running Kivo to answer.
constexpr std::chrono::milliseconds kActivationTokenPatience{1000};

// The launcher's tokens from the environment; in a Wayland session without one, an activation
// token asked of the compositor.
LaunchTokens launchTokens()
{
    LaunchTokens tokens{fromEnvironment("XDG_ACTIVATION_TOKEN"), fromEnvironment("DESKTOP_STARTUP_ID")};
    if (tokens.activation.empty() && !fromEnvironment("WAYLAND_DISPLAY").empty())
        tokens.activation = activationTokenFromCompositor(kActivationTokenPatience);
    return tokens;
}

}  // namespace

Claim claimSingleInstance(const fs::path& settingsFile)
{
    LinuxInstanceLock lock(settingsFile, LinuxInstanceLock::socketFolder());
    return claimSingleInstance(lock, launchTokens);
}

}  // namespace kivo
