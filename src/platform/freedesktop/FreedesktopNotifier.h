#pragma once

#include "platform/DesktopNotifier.h"

#include <QDBusConnection>
#include <QDBusServiceWatcher>
#include <QList>
#include <QStringList>

#include <optional>

// Notifications through the desktop's notification service (org.freedesktop.Notifications on the
// session bus). The service is there while its name has an owner or the bus can start it; the
// watcher tells when one comes or goes, so nothing polls. Its capabilities are asked for when the
// first notification goes out, so a service the bus starts on demand is not started at launch.
class FreedesktopNotifier final : public DesktopNotifier {
    Q_OBJECT
public:
    // At most this many notifications with a page are remembered for replacing and clicking.
    static constexpr int remembered = 32;

    // `iconName` is the installed icon's name, which is the desktop entry's name too.
    FreedesktopNotifier(QString appName, QString iconName, QDBusConnection bus = QDBusConnection::sessionBus(),
        QObject *parent = nullptr);

    bool isAvailable() const override { return m_owned || m_activatable; }
    void notify(const Notification &notification) override;

private Q_SLOTS:
    void actionInvoked(uint id, const QString &action);
    void notificationClosed(uint id, uint reason);

private:
    struct Shown {
        uint id;
        QUrl page;
    };

    void followOwner(const QString &owner);
    void setOwned(bool owned);
    void send(const Notification &notification);
    void askCapabilities();
    void remember(uint id, const QUrl &page);

    QString m_appName;
    QString m_iconName;
    QDBusConnection m_bus;
    QDBusServiceWatcher m_watcher;
    bool m_owned = false;
    bool m_activatable = false;
    // Counts the changes of the service's owner; an answer from before the last one is stale.
    quint64 m_owners = 0;
    // Unknown until the service answered; waiting notifications go out with the answer, or
    // escaped when there is none.
    std::optional<QStringList> m_capabilities;
    QList<Notification> m_waiting;
    // The notifications with a page the service still shows, oldest first.
    QList<Shown> m_shown;
};
