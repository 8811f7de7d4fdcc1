#include "window/qt/desktop_notification.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

#include <gtest/gtest.h>

#include <vector>

namespace kivo {
namespace {

// A session bus of the test's own, so no desktop's notifications are touched.
class PrivateBus {
public:
    PrivateBus()
    {
        daemon_.start(QStringLiteral("dbus-daemon"), {"--session", "--nofork", "--print-address=1"});
        if (daemon_.waitForReadyRead(10000))
            address_ = QString::fromUtf8(daemon_.readLine()).trimmed();
    }
    ~PrivateBus()
    {
        for (const QString& name : names_)
            QDBusConnection::disconnectFromBus(name);
        daemon_.terminate();
        daemon_.waitForFinished();
    }
    bool started() const { return !address_.isEmpty(); }
    QDBusConnection connect(const QString& name)
    {
        names_.push_back(name);
        return QDBusConnection::connectToBus(address_, name);
    }

private:
    QProcess daemon_;
    QString address_;
    std::vector<QString> names_;
};

// The desktop's notification service as far as Kivo uses it: records each call, and numbers every
// notification 7.
class RecordingService final : public QDBusVirtualObject {
public:
    std::vector<QDBusMessage> calls;

    QString introspect(const QString&) const override { return {}; }
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override
    {
        calls.push_back(message);
        connection.send(message.member() == QLatin1String("Notify") ? message.createReply(QVariant::fromValue(7u))
                                                                    : message.createReply());
        return true;
    }
};

TEST(DesktopNotificationTest, ShowsWithKivosNameAndTakesItBackEvenBeforeTheServiceAnswered)
{
    if (QStandardPaths::findExecutable(QStringLiteral("dbus-daemon")).isEmpty())
        GTEST_SKIP() << "dbus-daemon is missing; scripts/test.sh installs it";
    PrivateBus bus;
    ASSERT_TRUE(bus.started());
    QDBusConnection serviceSide = bus.connect(QStringLiteral("service"));
    RecordingService service;
    ASSERT_TRUE(serviceSide.registerVirtualObject(QStringLiteral("/org/freedesktop/Notifications"), &service));
    ASSERT_TRUE(serviceSide.registerService(QStringLiteral("org.freedesktop.Notifications")));

    DesktopNotification notification(bus.connect(QStringLiteral("kivo")));
    notification.show(QStringLiteral("No joystick found"), QStringLiteral("Plug one in."));
    notification.withdraw();
    ASSERT_TRUE(QTest::qWaitFor([&] { return service.calls.size() >= 2; }));
    const QList<QVariant> shown = service.calls[0].arguments();
    ASSERT_EQ(service.calls[0].member(), QLatin1String("Notify"));
    EXPECT_EQ(shown.value(0).toString(), QLatin1String("Kivo"));
    EXPECT_EQ(shown.value(1).toUInt(), 0u) << "replaces nothing";
    EXPECT_EQ(shown.value(3).toString(), QLatin1String("No joystick found"));
    EXPECT_EQ(shown.value(4).toString(), QLatin1String("Plug one in."));
    EXPECT_EQ(service.calls[1].member(), QLatin1String("CloseNotification"));
    EXPECT_EQ(service.calls[1].arguments().value(0).toUInt(), 7u);

    // Nothing is shown, so there is nothing to take back.
    notification.withdraw();
    notification.show(QStringLiteral("The joystick went away"), QString());
    ASSERT_TRUE(QTest::qWaitFor([&] { return service.calls.size() >= 3; }));
    EXPECT_EQ(service.calls[2].member(), QLatin1String("Notify"));
    EXPECT_EQ(service.calls[2].arguments().value(1).toUInt(), 0u);
}

}  // namespace
}  // namespace kivo
