#include "platform/freedesktop/DesktopDoNotDisturb.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>

namespace {

const QString notificationsService = QStringLiteral("org.freedesktop.Notifications");
const QString notificationsPath = QStringLiteral("/org/freedesktop/Notifications");
const QString propertiesInterface = QStringLiteral("org.freedesktop.DBus.Properties");
const QString inhibitedProperty = QStringLiteral("Inhibited");

std::optional<bool> boolOf(const QVariant &value)
{
    return value.typeId() == QMetaType::Bool ? std::optional(value.toBool()) : std::nullopt;
}

} // namespace

DesktopDoNotDisturb::DesktopDoNotDisturb(QDBusConnection bus, QObject *parent)
    : DoNotDisturb(parent)
    , m_bus(bus)
    , m_banners(QString::fromLatin1(gnomeSchema), QString::fromLatin1(gnomeKey))
    , m_service(notificationsService, bus)
{
    // Each change of the store is a change of the banners.
    connect(&m_banners, &GSettingsFlag::changed, this, &DoNotDisturb::changed);
    if (!m_bus.isConnected())
        return;
    m_bus.connect(notificationsService, notificationsPath, propertiesInterface, QStringLiteral("PropertiesChanged"),
        this, SLOT(propertiesChanged(QString, QVariantMap, QStringList)));
    connect(&m_service, &QDBusServiceWatcher::serviceRegistered, this, &DesktopDoNotDisturb::readInhibited);
    connect(&m_service, &QDBusServiceWatcher::serviceUnregistered, this, [this] { setInhibited(std::nullopt); });
    readInhibited();
}

void DesktopDoNotDisturb::readInhibited()
{
    // Asked of the bus first: a property read would start a service that is only activatable.
    auto *owner = new QDBusPendingCallWatcher(
        m_bus.interface()->asyncCall(QStringLiteral("NameHasOwner"), notificationsService), this);
    connect(owner, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher *done) {
        done->deleteLater();
        if (!QDBusPendingReply<bool>(*done).value())
            return;
        QDBusMessage call = QDBusMessage::createMethodCall(
            notificationsService, notificationsPath, propertiesInterface, QStringLiteral("Get"));
        call << notificationsService << inhibitedProperty;
        auto *read = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
        connect(read, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher *answer) {
            answer->deleteLater();
            // A server without the property has no Do Not Disturb to tell.
            const QDBusPendingReply<QDBusVariant> reply = *answer;
            setInhibited(reply.isError() ? std::nullopt : boolOf(reply.value().variant()));
        });
    });
}

void DesktopDoNotDisturb::propertiesChanged(
    const QString &interface, const QVariantMap &changed, const QStringList &invalidated)
{
    if (interface != notificationsService)
        return;
    if (changed.contains(inhibitedProperty))
        setInhibited(boolOf(changed.value(inhibitedProperty)));
    else if (invalidated.contains(inhibitedProperty))
        readInhibited();
}

void DesktopDoNotDisturb::setInhibited(std::optional<bool> inhibited)
{
    const bool known = isKnown();
    const bool on = isOn();
    m_inhibited = inhibited;
    if (known != isKnown() || on != isOn())
        Q_EMIT changed();
}
