#include "window/qt/desktop_notification.h"

#include "support/captured_stderr.h"
#include "support/private_session_bus.h"
#include "support/qt_waits.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QTest>

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace kivo {
namespace {

// Connections to a session bus of the test's own, so no desktop's notifications are touched.
class PrivateBus {
public:
    ~PrivateBus()
    {
        for (const QString& name : names_)
            QDBusConnection::disconnectFromBus(name);
    }
    bool started() const { return daemon_.started(); }
    QDBusConnection connect(const QString& name)
    {
        names_.push_back(name);
        return QDBusConnection::connectToBus(QString::fromStdString(daemon_.address()), name);
    }

private:
    test_support::PrivateSessionBus daemon_;
    std::vector<QString> names_;
};

// The desktop's notification service as far as Kivo uses it: records each call and numbers the
// notifications from 7. A slow one answers Notify only when told to, a broken one with an error.
class RecordingService final : public QDBusVirtualObject {
public:
    std::vector<QDBusMessage> calls;
    bool slow = false;
    bool broken = false;

    QString introspect(const QString&) const override { return {}; }
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override
    {
        calls.push_back(message);
        if (message.member() != QLatin1String("Notify"))
            connection.send(message.createReply());
        else if (broken)
            connection.send(message.createErrorReply(QDBusError::Failed, QStringLiteral("out of order")));
        else if (slow) {
            message.setDelayedReply(true);
            unanswered_.push_back(message);
        } else
            connection.send(message.createReply(QVariant::fromValue(nextId_++)));
        return true;
    }
    void answerNow(const QDBusConnection& connection)
    {
        for (const QDBusMessage& call : std::exchange(unanswered_, {}))
            connection.send(call.createReply(QVariant::fromValue(nextId_++)));
    }
    std::vector<uint> closed() const
    {
        std::vector<uint> ids;
        for (const QDBusMessage& call : calls)
            if (call.member() == QLatin1String("CloseNotification"))
                ids.push_back(call.arguments().value(0).toUInt());
        return ids;
    }

private:
    std::vector<QDBusMessage> unanswered_;
    uint nextId_ = 7;
};

class DesktopNotificationTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(bus.started()) << "dbus-daemon is missing; scripts/bootstrap.sh installs it";
        ASSERT_TRUE(serviceSide.registerVirtualObject(QStringLiteral("/org/freedesktop/Notifications"), &service));
        ASSERT_TRUE(serviceSide.registerService(QStringLiteral("org.freedesktop.Notifications")));
    }

    PrivateBus bus;
    QDBusConnection serviceSide = bus.connect(QStringLiteral("service"));
    RecordingService service;
    DesktopNotification notification{bus.connect(QStringLiteral("kivo"))};
};

TEST_F(DesktopNotificationTest, ShowsWithKivosNameAndTakesItBackEvenBeforeTheServiceAnswered)
{
    notification.show(QStringLiteral("No joystick found"), QStringLiteral("Plug one in."));
    notification.withdraw();
    ASSERT_TRUE(test_support::waitWithEvents([&] { return service.calls.size() >= 2; }));
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
    ASSERT_TRUE(test_support::waitWithEvents([&] { return service.calls.size() >= 3; }));
    EXPECT_EQ(service.calls[2].member(), QLatin1String("Notify"));
    EXPECT_EQ(service.calls[2].arguments().value(1).toUInt(), 0u);
}

// Unplugged, plugged in and unplugged again while the service takes its time: the first notice
// goes once the service has said which it was, and only the last stays.
TEST_F(DesktopNotificationTest, ASlowServiceLeavesUpOnlyWhatIsStillWanted)
{
    service.slow = true;
    notification.show(QStringLiteral("The joystick went away"), QString());
    notification.withdraw();
    notification.show(QStringLiteral("The joystick went away"), QString());
    ASSERT_TRUE(test_support::waitWithEvents([&] { return service.calls.size() >= 2; }));
    service.answerNow(serviceSide);
    ASSERT_TRUE(test_support::waitWithEvents([&] { return !service.closed().empty(); }));
    EXPECT_EQ(service.closed(), std::vector<uint>{7});

    notification.withdraw();
    ASSERT_TRUE(test_support::waitWithEvents([&] { return service.closed().size() >= 2; }));
    EXPECT_EQ(service.closed(), (std::vector<uint>{7, 8}));
}

TEST_F(DesktopNotificationTest, AFailedNotifyIsOneLineOnStandardError)
{
    service.broken = true;
    const test_support::CapturedStderr errors;
    notification.show(QStringLiteral("No joystick found"), QString());
    EXPECT_TRUE(test_support::waitWithEvents([&] { return !errors.text().empty(); }));
    EXPECT_EQ(errors.text(), "kivo: the desktop did not show the notification: out of order\n");
}

// A desktop's shell may take the service's name after Kivo has started, and a service that starts
// again has lost what it showed: what is still wanted is shown whenever one starts, nothing else.
TEST_F(DesktopNotificationTest, WhatIsStillWantedIsShownWheneverTheServiceStarts)
{
    const QString name = QStringLiteral("org.freedesktop.Notifications");
    const auto restart = [&] {
        serviceSide.unregisterService(name);
        serviceSide.registerService(name);
    };
    // Kivo's own connection answers only after the service's start has reached it.
    const auto startSeenByKivo = [] {
        QDBusConnection(QStringLiteral("kivo")).interface()->isServiceRegistered(QStringLiteral("any"));
        QCoreApplication::processEvents();
    };
    serviceSide.unregisterService(name);
    const test_support::CapturedStderr errors;
    notification.show(QStringLiteral("No joystick found"), QString());
    ASSERT_TRUE(test_support::waitWithEvents([&] { return !errors.text().empty(); }));
    EXPECT_EQ(errors.text(),
              "kivo: the desktop's notification service is not running; Kivo shows the notification once it starts\n");

    serviceSide.registerService(name);
    ASSERT_TRUE(test_support::waitWithEvents([&] { return service.calls.size() >= 1; }));
    restart();
    ASSERT_TRUE(test_support::waitWithEvents([&] { return service.calls.size() >= 2; }));
    for (const QDBusMessage& call : service.calls) {
        EXPECT_EQ(call.arguments().value(1).toUInt(), 0u) << "replaces nothing of a service gone";
        EXPECT_EQ(call.arguments().value(3).toString(), QLatin1String("No joystick found"));
    }

    notification.withdraw();
    ASSERT_TRUE(test_support::waitWithEvents([&] { return !service.closed().empty(); }));
    EXPECT_EQ(service.closed(), std::vector<uint>{8});
    restart();
    startSeenByKivo();
    notification.show(QStringLiteral("The joystick went away"), QString());
    ASSERT_TRUE(test_support::waitWithEvents([&] { return service.calls.size() >= 4; }));
    EXPECT_EQ(service.calls[3].arguments().value(3).toString(), QLatin1String("The joystick went away"))
        << "nothing is shown again once withdrawn";
}

}  // namespace
}  // namespace kivo
