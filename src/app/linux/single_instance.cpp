#include "app/linux/single_instance.h"

#include "app/kivo_main.h"
#include "app/linux/activation_token.h"
#include "platform/messages.h"
#include "settings/file_replace.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLocalSocket>
#include <QPointer>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <optional>
#include <sstream>
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

// Lock and socket must name the file the same way, whichever path reached it: the file a save
// writes, also through a link to no file yet.
fs::path resolved(const fs::path& settingsFile)
{
    std::error_code error;
    fs::path canonical = fs::weakly_canonical(replacedFile(settingsFile), error);
    return error ? settingsFile : canonical;
}

// Every start locks this one file. Another user's (a Kivo run with sudo left it) opens only for
// reading, which is all flock needs.
int openLockFile(const fs::path& path)
{
    const int lock = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOCTTY, 0644);
    return lock >= 0 ? lock : ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
}

// The process holding a flock on lock's file, as /proc/locks tells it: "1: FLOCK ADVISORY WRITE
// <pid> <major>:<minor>:<inode> 0 EOF", the device numbers in hex; waiters' lines have a "->".
std::optional<long> lockHolder(int lock)
{
    struct stat file {};
    if (::fstat(lock, &file) != 0)
        return std::nullopt;
    char id[64];
    std::snprintf(id, sizeof id, "%02x:%02x:%lu", major(file.st_dev), minor(file.st_dev),
                  static_cast<unsigned long>(file.st_ino));
    std::ifstream locks("/proc/locks");
    for (std::string line; std::getline(locks, line);) {
        std::istringstream fields(line);
        std::string number, kind, mode, access, lockedFile;
        long process = 0;
        if (fields >> number >> kind >> mode >> access >> process >> lockedFile && kind == "FLOCK" &&
            lockedFile == id && process > 0) {
            return process;
        }
    }
    return std::nullopt;
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

LinuxSingleInstance::LinuxSingleInstance(int lock, QString serverName) : lock_(lock), serverName_(std::move(serverName))
{
}

LinuxSingleInstance::~LinuxSingleInstance()
{
    if (lock_ >= 0)
        ::close(lock_);
}

std::unique_ptr<SingleInstance> LinuxSingleInstance::claim(const fs::path& settingsFile, const fs::path& socketFolder,
                                                           const std::function<std::string()>& activationToken,
                                                           std::chrono::milliseconds patience)
{
    if (settingsFile.empty())
        return std::unique_ptr<SingleInstance>(new LinuxSingleInstance(-1, QString()));
    std::error_code error;
    fs::create_directories(settingsFile.parent_path(), error);
    const fs::path file = resolved(settingsFile);
    fs::path lockPath = file;
    lockPath += ".lock";
    removeDeadSockets(socketFolder);
    const QString serverName = socketPathFor(file, socketFolder);
    const int lock = openLockFile(lockPath);
    if (lock < 0) {
        reportProblem("cannot make sure no other Kivo uses " + quotedPath(settingsFile) + " (cannot open " +
                      quotedPath(lockPath) + ": " + std::strerror(errno) + "); starting anyway.");
        return std::unique_ptr<SingleInstance>(new LinuxSingleInstance(-1, serverName));
    }
    std::unique_ptr<LinuxSingleInstance> instance(new LinuxSingleInstance(lock, serverName));
    const Clock::time_point deadline = Clock::now() + patience;
    std::optional<std::string> token;
    for (;;) {
        // Taken again as soon as a Kivo that held it ends, even while this start waits for it.
        if (::flock(lock, LOCK_EX | LOCK_NB) == 0)
            return instance;
        if (errno == EINTR)
            continue;
        if (errno != EWOULDBLOCK) {
            reportProblem("cannot make sure no other Kivo uses " + quotedPath(settingsFile) + " (cannot lock " +
                          quotedPath(lockPath) + ": " + std::strerror(errno) + "); starting anyway.");
            return instance;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (!token)
            token = activationToken();
        if (const FrontAnswer answer = askToComeToFront(serverName, *token, left); answer != FrontAnswer::None) {
            reportAlreadyRunning(settingsFile, answer == FrontAnswer::CameToFront);
            return nullptr;
        }
        if (Clock::now() >= deadline)
            break;
        std::this_thread::sleep_for(kRetryPause);
    }
    reportAlreadyRunningUnanswered(settingsFile, lockHolder(lock));
    return nullptr;
}

void LinuxSingleInstance::listen(FrontRequest comeToFront)
{
    if (serverName_.isEmpty())
        return;
    comeToFront_ = std::move(comeToFront);
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    // We hold the lock, so a socket left under this name can only be from a Kivo that ended.
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

std::unique_ptr<SingleInstance> claimSingleInstance(const fs::path& settingsFile)
{
    return LinuxSingleInstance::claim(settingsFile, LinuxSingleInstance::socketFolder(), launchActivationToken);
}

}  // namespace kivo
