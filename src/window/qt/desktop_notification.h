#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QString>

#include <optional>

namespace kivo {

// One notification at a time through the freedesktop notification service on the session bus,
// which GNOME Shell, Plasma and the notification daemons of the other desktops provide. No call
// waits for the service: without a session bus nothing is shown, and what is wanted while no
// service runs is shown once one starts (a desktop's shell may take its name after Kivo starts).
class DesktopNotification {
public:
    // On the session bus, connected only when there is first something to tell.
    DesktopNotification() = default;
    explicit DesktopNotification(const QDBusConnection& bus) : bus_(bus) {}

    // Replaces the notification shown before, if the service has said which it was.
    void show(const QString& summary, const QString& body);
    void withdraw();

private:
    QDBusConnection& bus();
    void watchForService();
    void send();
    void shown(unsigned call, uint id);
    void close(uint id);

    std::optional<QDBusConnection> bus_;
    // The service's id of what is shown; 0 for nothing, or while its answer is on the way.
    uint id_ = 0;
    bool wanted_ = false;
    QString summary_;
    QString body_;
    // Counts the calls to Notify, so that an answer knows whether a later call replaced its own.
    unsigned calls_ = 0;
    // Owns the watchers of the answers and of the service, so none outlives this.
    QObject answers_;
    bool watching_ = false;
};

}  // namespace kivo
