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
const QString gnomeGroup = QStringLiteral("org.gnome.desktop.notifications");
const QString gnomeKey = QStringLiteral("show-banners");

std::optional<bool> boolOf(const QVariant &value)
{
    return value.typeId() == QMetaType::Bool ? std::optional(value.toBool()) : std::nullopt;
}

} // namespace

DesktopDoNotDisturb::DesktopDoNotDisturb(QDBusConnection bus, QObject *parent)
    : DoNotDisturb(parent)
    , m_bus(bus)
    , m_settings(bus)
    , m_service(notificationsService, bus)
{
    connect(&m_settings, &PortalSettings::valueChanged, this,
        [this](const QString &group, const QString &key, const QVariant &value) {
            if (group == gnomeGroup && key == gnomeKey)
                if (const std::optional<bool> shown = boolOf(value))
                    update(m_bannersOff, !*shown);
        });
    m_settings.read(gnomeGroup, gnomeKey);
    if (!m_bus.isConnected())
        return;
    m_bus.connect(notificationsService, notificationsPath, propertiesInterface, QStringLiteral("PropertiesChanged"),
        this, SLOT(propertiesChanged(QString, QVariantMap, QStringList)));
    connect(&m_service, &QDBusServiceWatcher::serviceRegistered, this, &DesktopDoNotDisturb::readInhibited);
    connect(&m_service, &QDBusServiceWatcher::serviceUnregistered, this, [this] { update(m_inhibited, std::nullopt); });
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
            update(m_inhibited, reply.isError() ? std::nullopt : boolOf(reply.value().variant()));
        });
    });
}

void DesktopDoNotDisturb::propertiesChanged(
    const QString &interface, const QVariantMap &changed, const QStringList &invalidated)
{
    if (interface != notificationsService)
        return;
    if (changed.contains(inhibitedProperty))
        update(m_inhibited, boolOf(changed.value(inhibitedProperty)));
    else if (invalidated.contains(inhibitedProperty))
        readInhibited();
}

void DesktopDoNotDisturb::update(std::optional<bool> &source, std::optional<bool> value)
{
    const bool known = isKnown();
    const bool on = isOn();
    source = value;
    if (known != isKnown() || on != isOn())
        Q_EMIT changed();
}
