#include "app/linux/single_instance.h"

#include "settings/messages.h"

#include <QCryptographicHash>
#include <QLocalSocket>

#include <unistd.h>

#include <system_error>

namespace kivo {
namespace {

namespace fs = std::filesystem;

constexpr int kAnswerTimeoutMs = 1000;

// The same file reached by another path, a symbolic link say, gives the same name.
QString serverNameFor(const fs::path& settingsFile)
{
    std::error_code error;
    const fs::path canonical = fs::weakly_canonical(settingsFile, error);
    const QByteArray path = QByteArray::fromStdString((error ? settingsFile : canonical).string());
    const QByteArray hash = QCryptographicHash::hash(path, QCryptographicHash::Sha1).toHex().left(16);
    return QStringLiteral("kivo-%1-%2").arg(::getuid()).arg(QString::fromLatin1(hash));
}

void askToComeToFront(const QString& serverName)
{
    QLocalSocket socket;
    socket.connectToServer(serverName);
    if (!socket.waitForConnected(kAnswerTimeoutMs))
        return;
    socket.write("raise\n");
    socket.waitForBytesWritten(kAnswerTimeoutMs);
    socket.disconnectFromServer();
}

}  // namespace

SingleInstance::SingleInstance(const QString& lockPath, QString serverName)
    : lock_(lockPath), serverName_(std::move(serverName))
{
    // Kivo runs for hours: only a lock whose process is gone is stale, never one that is old.
    lock_.setStaleLockTime(0);
}

std::unique_ptr<SingleInstance> SingleInstance::claim(const fs::path& settingsFile)
{
    if (settingsFile.empty())
        return std::unique_ptr<SingleInstance>(new SingleInstance(QString(), QString()));
    std::error_code error;
    fs::create_directories(settingsFile.parent_path(), error);
    fs::path lockPath = settingsFile;
    lockPath += ".lock";
    std::unique_ptr<SingleInstance> instance(
        new SingleInstance(QString::fromStdString(lockPath.string()), serverNameFor(settingsFile)));
    if (instance->lock_.tryLock())
        return instance;
    if (instance->lock_.error() != QLockFile::LockFailedError) {
        reportProblem("cannot make sure no other Kivo uses " + quotedPath(settingsFile) + " (no lock file at " +
                      quotedPath(lockPath) + "); starting anyway.");
        return instance;
    }
    reportProblem("Kivo is already running with " + quotedPath(settingsFile) +
                  "; its window is brought to the front instead.");
    askToComeToFront(instance->serverName_);
    return nullptr;
}

void SingleInstance::listen(std::function<void()> bringToFront)
{
    if (serverName_.isEmpty())
        return;
    bringToFront_ = std::move(bringToFront);
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    // We hold the lock, so a socket left under this name can only be from a Kivo that crashed.
    QLocalServer::removeServer(serverName_);
    if (!server_.listen(serverName_)) {
        reportProblem("a second start of Kivo cannot bring this window to the front: " +
                      server_.errorString().toStdString());
        return;
    }
    QObject::connect(&server_, &QLocalServer::newConnection, &server_, [this] {
        while (QLocalSocket* socket = server_.nextPendingConnection()) {
            QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            bringToFront_();
        }
    });
}

}  // namespace kivo
