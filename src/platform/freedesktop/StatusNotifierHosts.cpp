#include "platform/freedesktop/StatusNotifierHosts.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>

namespace {

const QString watcherService = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString watcherPath = QStringLiteral("/StatusNotifierWatcher");
const QString watcherInterface = QStringLiteral("org.kde.StatusNotifierWatcher");

} // namespace

StatusNotifierHosts::StatusNotifierHosts(QDBusConnection bus, QObject *parent)
    : QObject(parent)
    , m_bus(bus)
    , m_watcher(watcherService, bus, QDBusServiceWatcher::WatchForOwnerChange)
{
    if (!m_bus.isConnected())
        return;
    connect(&m_watcher, &QDBusServiceWatcher::serviceOwnerChanged, this, &StatusNotifierHosts::read);
    for (const char *signal : { "StatusNotifierHostRegistered", "StatusNotifierHostUnregistered" })
        m_bus.connect(watcherService, watcherPath, watcherInterface, QString::fromLatin1(signal), this, SLOT(read()));
    read();
}

void StatusNotifierHosts::read()
{
    QDBusMessage get = QDBusMessage::createMethodCall(
        watcherService, watcherPath, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    get << watcherInterface << QStringLiteral("IsStatusNotifierHostRegistered");
    auto *call = new QDBusPendingCallWatcher(m_bus.asyncCall(get), this);
    connect(call, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher *finished) {
        finished->deleteLater();
        // No watcher on the bus answers with an error: no host either.
        const QDBusPendingReply<QDBusVariant> reply = *finished;
        setPresent(!reply.isError() && reply.value().variant().toBool());
    });
}

void StatusNotifierHosts::setPresent(bool present)
{
    if (present == m_present)
        return;
    m_present = present;
    Q_EMIT presentChanged(present);
}
