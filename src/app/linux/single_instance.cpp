#include "app/linux/single_instance.h"

#include "app/linux/kernel_locks.h"

#include "platform/messages.h"
#include "platform/wayland/activation_token.h"
#include "settings/file_replace.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QTimer>

#include <poll.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
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
// "raise", then for each token a blank, its kind and its value, and a newline.
constexpr char kRequest[] = "raise";
constexpr char kCameToFront[] = "raised\n";
constexpr char kAskedOnly[] = "asked\n";
// Bounds on what later starts may ask of a running Kivo, so that no number or size of requests
// costs it memory or time it keeps: a request is one short line, sent as soon as the asker
// connects.
constexpr qint64 kLongestRequest = 4096;
constexpr int kConnectionsAtOnce = 16;

struct TokenKind {
    const char* prefix;
    std::string LaunchTokens::*field;
};
constexpr TokenKind kTokenKinds[] = {{"activation=", &LaunchTokens::activation},
                                     {"startup=", &LaunchTokens::startupId}};

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

// Launchers make tokens of printable characters; anything else would not survive the request line.
bool passable(const std::string& token)
{
    return std::all_of(token.begin(), token.end(), [](unsigned char c) { return c > ' ' && c < 0x7f; });
}

QByteArray requestLine(const LaunchTokens& tokens)
{
    QByteArray line(kRequest);
    for (const TokenKind& kind : kTokenKinds) {
        const std::string& token = tokens.*kind.field;
        if (!token.empty() && passable(token))
            line += ' ' + QByteArray(kind.prefix) + QByteArray::fromStdString(token);
    }
    return line + '\n';
}

// The tokens a request carries, or nothing when the line is no request.
std::optional<LaunchTokens> tokensOfRequest(const QByteArray& line)
{
    if (!line.endsWith('\n'))
        return std::nullopt;
    const QList<QByteArray> words = line.chopped(1).split(' ');
    if (words.front() != kRequest)
        return std::nullopt;
    LaunchTokens tokens;
    for (const QByteArray& word : words.sliced(1)) {
        const auto kind =
            std::ranges::find_if(kTokenKinds, [&](const TokenKind& k) { return word.startsWith(k.prefix); });
        if (kind == std::end(kTokenKinds))
            return std::nullopt;
        std::string token = word.mid(qsizetype(std::strlen(kind->prefix))).toStdString();
        if (!passable(token))
            return std::nullopt;
        tokens.*kind->field = std::move(token);
    }
    return tokens;
}

// Why path, where this user's socket goes, is no use to this user: another user made something
// there first, in a temporary folder they share.
std::string takenByAnotherUser(const fs::path& path)
{
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0 || status.st_uid == ::getuid())
        return {};
    return quotedPath(path) + " belongs to another user (set XDG_RUNTIME_DIR to a folder of your own)";
}

// An asker gives up after its patience; a request it has given up on (this Kivo was stopped
// meanwhile) is not carried out once this Kivo runs again.
bool askerGone(const QLocalSocket& socket)
{
    pollfd hangUp{static_cast<int>(socket.socketDescriptor()), POLLRDHUP, 0};
    return socket.state() != QLocalSocket::ConnectedState ||
           (::poll(&hangUp, 1, 0) == 1 && (hangUp.revents & (POLLRDHUP | POLLHUP)) != 0);
}

// The claim of a start that holds the lock: the lock, and the socket later starts ask through.
class LinuxSingleInstance final : public SingleInstance {
public:
    LinuxSingleInstance(int lock, int name, QString serverName)
        : lock_(lock), name_(name), serverName_(std::move(serverName))
    {
    }
    ~LinuxSingleInstance() override
    {
        for (const int held : {lock_, name_}) {
            if (held >= 0)
                ::close(held);
        }
    }
    LinuxSingleInstance(const LinuxSingleInstance&) = delete;
    LinuxSingleInstance& operator=(const LinuxSingleInstance&) = delete;

    void listen(FrontRequest comeToFront) override
    {
        if (serverName_.isEmpty())
            return;
        comeToFront_ = std::move(comeToFront);
        server_.setSocketOptions(QLocalServer::UserAccessOption);
        const std::string taken = takenByAnotherUser(serverName_.toStdString());
        // We hold the lock, so a socket of ours left under this name can only be from a Kivo that ended.
        if (taken.empty())
            QLocalServer::removeServer(serverName_);
        if (!taken.empty() || !server_.listen(serverName_)) {
            reportProblem("a second start of Kivo cannot bring this window to the front: " +
                          (taken.empty() ? server_.errorString().toStdString() : taken));
            return;
        }
        QObject::connect(&server_, &QLocalServer::newConnection, &server_, [this] {
            while (QLocalSocket* socket = server_.nextPendingConnection())
                serve(socket);
        });
    }

private:
    // Only a request raises the window: a start looking for dead sockets merely connects.
    void serve(QLocalSocket* socket)
    {
        QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        if (connections_ == kConnectionsAtOnce) {
            socket->abort();
            return;
        }
        ++connections_;
        QObject::connect(socket, &QLocalSocket::disconnected, &server_, [this] { --connections_; });
        socket->setReadBufferSize(kLongestRequest);
        auto* unasked = new QTimer(socket);
        unasked->setSingleShot(true);
        QObject::connect(unasked, &QTimer::timeout, socket, &QLocalSocket::abort);
        unasked->start(kClaimPatience);
        QObject::connect(socket, &QLocalSocket::readyRead, socket, [this, socket, unasked] {
            if (!socket->canReadLine()) {
                if (socket->bytesAvailable() >= kLongestRequest)
                    socket->abort();
                return;
            }
            unasked->stop();
            const std::optional<LaunchTokens> tokens = tokensOfRequest(socket->readLine(kLongestRequest));
            if (!tokens || askerGone(*socket)) {
                socket->abort();
                return;
            }
            // The start that asked may have given up waiting by the time the answer is known.
            comeToFront_(*tokens, [socket = QPointer<QLocalSocket>(socket)](bool cameToFront) {
                if (!socket)
                    return;
                socket->write(cameToFront ? kCameToFront : kAskedOnly);
                socket->disconnectFromServer();
            });
        });
    }

    int lock_;
    int name_;
    QString serverName_;
    QLocalServer server_;
    int connections_ = 0;
    FrontRequest comeToFront_;
};

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
InstanceLock::Attempt LinuxInstanceLock::take()
{
    const QString serverName = QString::fromStdString(socketPath_);
    const int name = heldName_.empty() ? -1 : holdAbstractName(heldName_);
    const int nameError = errno;
    if (name < 0 && nameError == EADDRINUSE)
        return {};
    std::string lockProblem = openProblem_;
    int result = lock_ < 0 ? -1 : 0;
    while (lock_ >= 0 && (result = ::flock(lock_, LOCK_EX | LOCK_NB)) != 0 && errno == EINTR) {
    }
    if (lock_ >= 0 && result != 0 && errno == EWOULDBLOCK) {
        if (name >= 0)
            ::close(name);
        return {};
    }
    if (lock_ >= 0 && result != 0)
        lockProblem = "cannot lock " + quotedPath(lockPath_) + ": " + std::strerror(errno);
    const int lock = result == 0 ? std::exchange(lock_, -1) : -1;
    std::string unsure;
    if (name < 0 && !heldName_.empty())
        unsure = "cannot hold the name \"" + heldName_ + "\": " + std::strerror(nameError);
    if (name < 0 && !lockProblem.empty())
        unsure += (unsure.empty() ? "" : "; ") + lockProblem;
    return {std::make_unique<LinuxSingleInstance>(lock, name, serverName), unsure};
}

std::optional<long> LinuxInstanceLock::holder()
{
    return flockHolder(lock_);
}

std::string LinuxInstanceLock::unaskable()
{
    return takenByAnotherUser(socketPath_);
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
