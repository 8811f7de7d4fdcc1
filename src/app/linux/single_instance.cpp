#include "app/linux/single_instance.h"

#include "app/kivo_main.h"
#include "app/linux/activation_token.h"
#include "platform/messages.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLocalSocket>
#include <QPointer>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <string>
#include <system_error>
#include <thread>

namespace kivo {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr auto kRetryPause = 100ms;
constexpr int kProbeTimeoutMs = 200;
// "raise", a blank and the activation token when there is one, and a newline.
constexpr char kRequest[] = "raise";
constexpr char kCameToFront[] = "raised\n";
constexpr char kAskedOnly[] = "asked\n";

enum class FrontAnswer { None, CameToFront, AskedOnly };

std::string socketPrefix()
{
    return "kivo-" + std::to_string(::getuid()) + "-";
}

QString socketPathFor(const fs::path& settingsFile, const fs::path& folder)
{
    const QByteArray hash =
        QCryptographicHash::hash(QByteArray::fromStdString(settingsFile.string()), QCryptographicHash::Sha1);
    return QString::fromStdString((folder / (socketPrefix() + hash.toHex().left(16).toStdString())).string());
}

// Lock and socket must name the file the same way, whichever path reached it.
fs::path resolved(const fs::path& settingsFile)
{
    std::error_code error;
    fs::path canonical = fs::weakly_canonical(settingsFile, error);
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

QByteArray requestLine(const std::string& activationToken)
{
    QByteArray line(kRequest);
    if (!activationToken.empty() && passable(activationToken))
        line += ' ' + QByteArray::fromStdString(activationToken);
    return line + '\n';
}

// The token a request carries (empty when none), or nothing when the line is no request.
std::optional<std::string> tokenOfRequest(const QByteArray& line)
{
    if (!line.endsWith('\n'))
        return std::nullopt;
    const QByteArray request = line.chopped(1);
    if (request == kRequest)
        return std::string();
    const QByteArray withToken = QByteArray(kRequest) + ' ';
    if (!request.startsWith(withToken))
        return std::nullopt;
    std::string token = request.mid(withToken.size()).toStdString();
    if (!passable(token))
        return std::nullopt;
    return token;
}

FrontAnswer askToComeToFront(const QString& socketPath, const std::string& activationToken,
                             std::chrono::milliseconds patience)
{
    if (!ownSocket(socketPath.toStdString()))
        return FrontAnswer::None;
    QLocalSocket socket;
    socket.connectToServer(socketPath);
    if (!socket.waitForConnected(static_cast<int>(std::max(patience, 1ms).count())))
        return FrontAnswer::None;
    socket.write(requestLine(activationToken));
    // The running Kivo answers once its window is active, or once it has waited for that in vain.
    const Clock::time_point deadline = Clock::now() + LinuxSingleInstance::kActivationWait + patience;
    while (!socket.canReadLine()) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left <= 0ms || !socket.waitForReadyRead(static_cast<int>(left.count())))
            return FrontAnswer::None;
    }
    const QByteArray answer = socket.readLine();
    if (answer == kCameToFront)
        return FrontAnswer::CameToFront;
    return answer == kAskedOnly ? FrontAnswer::AskedOnly : FrontAnswer::None;
}

}  // namespace

fs::path LinuxSingleInstance::socketFolder()
{
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime != nullptr && fs::path(runtime).is_absolute())
        return runtime;
    return QDir::tempPath().toStdString();
}

LinuxSingleInstance::LinuxSingleInstance(const QString& lockPath, QString serverName)
    : lock_(lockPath), serverName_(std::move(serverName))
{
    // Kivo runs for hours: a lock is never stale for its age, only when nobody holds it.
    lock_.setStaleLockTime(0);
}

InstanceClaim LinuxSingleInstance::claim(const fs::path& settingsFile, const fs::path& socketFolder,
                                         const std::function<std::string()>& activationToken,
                                         std::chrono::milliseconds patience)
{
    if (settingsFile.empty())
        return {std::unique_ptr<SingleInstance>(new LinuxSingleInstance(QString(), QString()))};
    std::error_code error;
    fs::create_directories(settingsFile.parent_path(), error);
    const fs::path file = resolved(settingsFile);
    fs::path lockPath = file;
    lockPath += ".lock";
    removeDeadSockets(socketFolder);
    std::unique_ptr<LinuxSingleInstance> instance(
        new LinuxSingleInstance(QString::fromStdString(lockPath.string()), socketPathFor(file, socketFolder)));
    const Clock::time_point deadline = Clock::now() + patience;
    std::optional<std::string> token;
    for (;;) {
        if (instance->lock_.tryLock())
            return {std::move(instance)};
        if (instance->lock_.error() != QLockFile::LockFailedError) {
            reportProblem("cannot make sure no other Kivo uses " + quotedPath(settingsFile) + " (no lock file at " +
                          quotedPath(lockPath) + "); starting anyway.");
            return {std::move(instance)};
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (!token)
            token = activationToken();
        if (const FrontAnswer answer = askToComeToFront(instance->serverName_, *token, left);
            answer != FrontAnswer::None) {
            reportAlreadyRunning(settingsFile, answer == FrontAnswer::CameToFront);
            return {nullptr, true};
        }
        // Succeeds only when no live program holds the lock file open.
        if (instance->lock_.removeStaleLockFile())
            continue;
        if (Clock::now() >= deadline)
            break;
        std::this_thread::sleep_for(kRetryPause);
    }
    reportProblem(quotedPath(lockPath) + " is held by a program that does not answer as Kivo does (a Kivo on " +
                  "another computer sharing this folder?); not starting, so that two cannot overwrite each " +
                  "other's assignments in " + quotedPath(settingsFile) + ".");
    return {};
}

void LinuxSingleInstance::listen(FrontRequest comeToFront)
{
    if (serverName_.isEmpty())
        return;
    comeToFront_ = std::move(comeToFront);
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    // We hold the lock, so a socket left under this name can only be from a Kivo that crashed.
    QLocalServer::removeServer(serverName_);
    if (!server_.listen(serverName_)) {
        reportProblem("a second start of Kivo cannot bring this window to the front: " +
                      server_.errorString().toStdString());
        return;
    }
    // Only a request raises the window: a start looking for dead sockets merely connects.
    QObject::connect(&server_, &QLocalServer::newConnection, &server_, [this] {
        while (QLocalSocket* socket = server_.nextPendingConnection()) {
            QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            QObject::connect(socket, &QLocalSocket::readyRead, socket, [this, socket] {
                if (!socket->canReadLine())
                    return;
                const std::optional<std::string> token = tokenOfRequest(socket->readLine());
                if (!token) {
                    socket->disconnectFromServer();
                    return;
                }
                // The start that asked may have given up waiting by the time the answer is known.
                comeToFront_(*token, [socket = QPointer<QLocalSocket>(socket)](bool cameToFront) {
                    if (!socket)
                        return;
                    socket->write(cameToFront ? kCameToFront : kAskedOnly);
                    socket->disconnectFromServer();
                });
            });
        }
    });
}

InstanceClaim claimSingleInstance(const fs::path& settingsFile)
{
    return LinuxSingleInstance::claim(settingsFile, LinuxSingleInstance::socketFolder(), launchActivationToken);
}

}  // namespace kivo
