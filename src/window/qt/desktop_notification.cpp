#include "window/qt/desktop_notification.h"

#include "kivo_version.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QVariantMap>

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
    if (!bus().isConnected())
        return;
    // The desktop entry lets the desktop show Kivo's name and icon, and group its notifications.
    const QVariantMap hints{{QStringLiteral("desktop-entry"), QStringLiteral(KIVO_APP_ID)}};
    constexpr int kServersDefaultTimeout = -1;
    QDBusMessage notify = callService(QStringLiteral("Notify"));
    notify << QStringLiteral("Kivo") << id_ << QStringLiteral("kivo") << summary << body << QStringList() << hints
           << kServersDefaultTimeout;
    auto* watcher = new QDBusPendingCallWatcher(bus().asyncCall(notify), &answers_);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, &answers_, [this](QDBusPendingCallWatcher* answer) {
        answer->deleteLater();
        const QDBusPendingReply<uint> reply = *answer;
        if (reply.isError())
            return;
        id_ = reply.value();
        // Taken back while the service was still answering.
        if (!wanted_)
            withdraw();
    });
}

void DesktopNotification::withdraw()
{
    wanted_ = false;
    if (id_ == 0)
        return;
    QDBusMessage close = callService(QStringLiteral("CloseNotification"));
    close << id_;
    bus().asyncCall(close);
    id_ = 0;
}

}  // namespace kivo
