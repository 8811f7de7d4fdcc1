#include "app/linux/front_server.h"

#include "app/linux/front_protocol.h"
#include "platform/messages.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QTimer>

#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <utility>

namespace kivo {
namespace {

// Bounds on what later starts may ask of a running Kivo, so that no number of requests costs it
// memory or time it keeps.
constexpr int kConnectionsAtOnce = 16;

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

}  // namespace

std::unique_ptr<SingleInstance> makeFrontServer(int lock, int name, QString serverName)
{
    return std::make_unique<LinuxSingleInstance>(lock, name, std::move(serverName));
}

// Why path, where this user's socket goes, is no use to this user: another user made something
// there first, in a temporary folder they share.
std::string takenByAnotherUser(const std::filesystem::path& path)
{
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0 || status.st_uid == ::getuid())
        return {};
    return quotedPath(path) + " belongs to another user (set XDG_RUNTIME_DIR to a folder of your own)";
}

}  // namespace kivo
