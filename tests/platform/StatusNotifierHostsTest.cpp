// Hosts coming and going at a stand-in StatusNotifierWatcher on a private session bus.
#include "platform/freedesktop/StatusNotifierHosts.h"

#include <QDBusConnection>
#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {

// The watcher's side the hosts' follower reads: one property and the two signals.
class FakeWatcher final : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ hostRegistered)
public:
    bool hostRegistered() const { return host; }
    bool host = false;

Q_SIGNALS:
    void StatusNotifierHostRegistered();
    void StatusNotifierHostUnregistered();
};

TEST(StatusNotifierHosts, FollowTheWatcherAndItsHosts)
{
    StatusNotifierHosts hosts;
    QSignalSpy spy(&hosts, &StatusNotifierHosts::presentChanged);
    EXPECT_FALSE(spy.wait(300) || hosts.isPresent()) << "no watcher: no host";

    // The watcher lives on a connection of its own, as it would in another process.
    QDBusConnection bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("watcher"));
    FakeWatcher watcher;
    watcher.host = true;
    ASSERT_TRUE(bus.registerObject(QStringLiteral("/StatusNotifierWatcher"), &watcher,
        QDBusConnection::ExportAllProperties | QDBusConnection::ExportAllSignals));
    ASSERT_TRUE(bus.registerService(QStringLiteral("org.kde.StatusNotifierWatcher")));
    ASSERT_TRUE(spy.wait(5000)) << "a watcher with a host turned up";
    EXPECT_TRUE(hosts.isPresent());

    watcher.host = false;
    Q_EMIT watcher.StatusNotifierHostUnregistered();
    ASSERT_TRUE(spy.wait(5000));
    EXPECT_FALSE(hosts.isPresent());
    watcher.host = true;
    Q_EMIT watcher.StatusNotifierHostRegistered();
    ASSERT_TRUE(spy.wait(5000));
    bus.unregisterService(QStringLiteral("org.kde.StatusNotifierWatcher"));
    ASSERT_TRUE(spy.wait(5000)) << "the watcher went, and its hosts with it";
    EXPECT_FALSE(hosts.isPresent());
    QDBusConnection::disconnectFromBus(QStringLiteral("watcher"));
}

} // namespace

#include "StatusNotifierHostsTest.moc"
