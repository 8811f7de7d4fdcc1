#include "window/qt/desktop_notification.h"

#include "kivo_version.h"
#include "platform/messages.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
#include <QVariantMap>

#include <utility>

namespace kivo {
namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");

QDBusMessage callService(const QString& method)
{
    return QDBusMessage::createMethodCall(kService, kPath, kService, method);
}

}  // namespace

QDBusConnection& DesktopNotification::bus()
{
    if (!bus_)
        bus_ = QDBusConnection::sessionBus();
    return *bus_;
}

void DesktopNotification::show(const QString& summary, const QString& body)
{
    wanted_ = true;
    summary_ = summary;
    body_ = body;
    if (!bus().isConnected())
        return;
    watchForService();
    send();
}

// A service that starts later, or starts again after a crash that took its notifications with
// it, is given what is still wanted.
void DesktopNotification::watchForService()
{
    if (std::exchange(watching_, true))
        return;
    auto* watcher = new QDBusServiceWatcher(kService, bus(), QDBusServiceWatcher::WatchForRegistration, &answers_);
    QObject::connect(watcher, &QDBusServiceWatcher::serviceRegistered, &answers_, [this] {
        if (!wanted_)
            return;
        id_ = 0;
        send();
    });
}

void DesktopNotification::send()
{
    // The desktop entry lets the desktop show Kivo's name and icon, and group its notifications.
    const QVariantMap hints{{QStringLiteral("desktop-entry"), QStringLiteral(KIVO_APP_ID)}};
    constexpr int kServersDefaultTimeout = -1;
    QDBusMessage notify = callService(QStringLiteral("Notify"));
    notify << QStringLiteral("Kivo") << id_ << QStringLiteral("kivo") << summary_ << body_ << QStringList() << hints
           << kServersDefaultTimeout;
    const unsigned call = ++calls_;
    auto* watcher = new QDBusPendingCallWatcher(bus().asyncCall(notify), &answers_);
    QObject::connect(
        watcher, &QDBusPendingCallWatcher::finished, &answers_, [this, call](QDBusPendingCallWatcher* answer) {
            answer->deleteLater();
            const QDBusPendingReply<uint> reply = *answer;
            if (!reply.isError())
                shown(call, reply.value());
            else if (reply.error().type() == QDBusError::ServiceUnknown)
                reportProblem(
                    "the desktop's notification service is not running; Kivo shows the notification "
                    "once it starts");
            else
                reportProblem("the desktop did not show the notification: " + reply.error().message().toStdString());
        });
}

// A slow service answers after Kivo has moved on: what it shows for a call taken back or
// replaced since is closed at once, or it would stay up after the joystick is back, and after
// Kivo has ended.
void DesktopNotification::shown(unsigned call, uint id)
{
    if (call == calls_ && wanted_)
        id_ = id;
    else if (id != id_)
        close(id);
}

void DesktopNotification::withdraw()
{
    wanted_ = false;
    if (id_ == 0)
        return;
    close(id_);
    id_ = 0;
}

void DesktopNotification::close(uint id)
{
    QDBusMessage call = callService(QStringLiteral("CloseNotification"));
    call << id;
    bus().asyncCall(call);
}

}  // namespace kivo
