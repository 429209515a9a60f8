#include "platform/freedesktop/FreedesktopNotifier.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QVariantMap>

#include <algorithm>

namespace {

const QString service = QStringLiteral("org.freedesktop.Notifications");
const QString path = QStringLiteral("/org/freedesktop/Notifications");
const QString busService = QStringLiteral("org.freedesktop.DBus");
const QString busPath = QStringLiteral("/org/freedesktop/DBus");
// The action a click on the notification itself invokes.
const QString defaultAction = QStringLiteral("default");

} // namespace

FreedesktopNotifier::FreedesktopNotifier(QString appName, QString iconName, QDBusConnection bus, QObject *parent)
    : DesktopNotifier(parent)
    , m_appName(std::move(appName))
    , m_iconName(std::move(iconName))
    , m_bus(bus)
    , m_watcher(service, bus, QDBusServiceWatcher::WatchForOwnerChange)
{
    if (!m_bus.isConnected())
        return;
    connect(&m_watcher, &QDBusServiceWatcher::serviceOwnerChanged, this,
        [this](const QString &, const QString &, const QString &owner) { followOwner(owner); });
    m_bus.connect(service, path, service, QStringLiteral("ActionInvoked"), this, SLOT(actionInvoked(uint, QString)));
    m_bus.connect(
        service, path, service, QStringLiteral("NotificationClosed"), this, SLOT(notificationClosed(uint, uint)));

    const auto askBus = [this](const QString &method, const QVariantList &arguments, auto take) {
        QDBusMessage call = QDBusMessage::createMethodCall(busService, busPath, busService, method);
        call.setArguments(arguments);
        auto *watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
        connect(watcher, &QDBusPendingCallWatcher::finished, this, [take](QDBusPendingCallWatcher *done) {
            done->deleteLater();
            if (!done->isError())
                take(done->reply().arguments().value(0));
        });
    };
    // An owner change heard meanwhile is newer than this answer.
    askBus(QStringLiteral("NameHasOwner"), { service }, [this, asked = m_owners](const QVariant &owned) {
        if (asked == m_owners)
            setOwned(owned.toBool());
    });
    askBus(QStringLiteral("ListActivatableNames"), {}, [this](const QVariant &names) {
        const bool before = isAvailable();
        m_activatable = names.toStringList().contains(service);
        if (isAvailable() != before)
            Q_EMIT availabilityChanged(isAvailable());
    });
}

void FreedesktopNotifier::followOwner(const QString &owner)
{
    // Another service, or none: what the last one could do and had shown no longer holds, nor
    // does an answer still on its way from it.
    ++m_owners;
    m_capabilities.reset();
    m_shown.clear();
    setOwned(!owner.isEmpty());
}

void FreedesktopNotifier::setOwned(bool owned)
{
    const bool before = isAvailable();
    m_owned = owned;
    if (isAvailable() != before)
        Q_EMIT availabilityChanged(isAvailable());
}

void FreedesktopNotifier::notify(const Notification &notification)
{
    if (!isAvailable())
        return;
    if (m_capabilities) {
        send(notification);
        return;
    }
    m_waiting << notification;
    if (m_waiting.size() > remembered)
        m_waiting.removeFirst();
    if (m_waiting.size() == 1)
        askCapabilities();
}

void FreedesktopNotifier::askCapabilities()
{
    const QDBusMessage call = QDBusMessage::createMethodCall(service, path, service, QStringLiteral("GetCapabilities"));
    auto *watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, owner = m_owners](QDBusPendingCallWatcher *done) {
        done->deleteLater();
        // The service that answered has gone meanwhile: its successor is asked.
        if (owner != m_owners)
            return askCapabilities();
        // Without an answer the capabilities stay unknown (the next notification asks again).
        const QDBusPendingReply<QStringList> reply = *done;
        if (!reply.isError())
            m_capabilities = reply.value();
        for (const Notification &waiting : std::exchange(m_waiting, {}))
            send(waiting);
    });
}

void FreedesktopNotifier::send(const Notification &notification)
{
    const QUrl page = notification.page;
    const auto earlier = std::ranges::find(m_shown, page, &Shown::page);
    const uint replaces = page.isEmpty() || earlier == m_shown.end() ? 0 : earlier->id;
    // A service that reads markup in the body would take the text's "<" and "&" for some; one
    // whose capabilities are unknown may be such a service.
    const bool markup = !m_capabilities || m_capabilities->contains(QStringLiteral("body-markup"));
    const QString body = markup ? notification.body.toHtmlEscaped() : notification.body;
    const QStringList actions = page.isEmpty() ? QStringList() : QStringList { defaultAction, tr("Öffnen") };
    // The specification's urgency levels are bytes: 0 low, 1 normal, 2 critical.
    const QVariantMap hints { { QStringLiteral("desktop-entry"), m_iconName },
        { QStringLiteral("urgency"), QVariant::fromValue(uchar(notification.urgency)) } };

    QDBusMessage call = QDBusMessage::createMethodCall(service, path, service, QStringLiteral("Notify"));
    call << m_appName << replaces << m_iconName << notification.summary << body << actions << hints << -1;
    auto *watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
        [this, page, owner = m_owners](QDBusPendingCallWatcher *done) {
            done->deleteLater();
            // An id from a service that has gone would name another notification of its successor.
            const QDBusPendingReply<uint> reply = *done;
            if (!reply.isError() && !page.isEmpty() && owner == m_owners)
                remember(reply.value(), page);
        });
}

void FreedesktopNotifier::remember(uint id, const QUrl &page)
{
    m_shown.removeIf([&](const Shown &shown) { return shown.id == id || shown.page == page; });
    m_shown.append({ id, page });
    if (m_shown.size() > remembered)
        m_shown.removeFirst();
}

void FreedesktopNotifier::actionInvoked(uint id, const QString &action)
{
    // Only our own notifications are remembered; the service sends other programs' clicks too.
    const auto shown = std::ranges::find(m_shown, id, &Shown::id);
    if (action == defaultAction && shown != m_shown.end())
        Q_EMIT activated(shown->page);
}

void FreedesktopNotifier::notificationClosed(uint id, uint)
{
    m_shown.removeIf([id](const Shown &shown) { return shown.id == id; });
}
