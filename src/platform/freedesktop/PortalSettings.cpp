#include "platform/freedesktop/PortalSettings.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

namespace {

const QString portalService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString portalPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString settingsInterface = QStringLiteral("org.freedesktop.portal.Settings");

QVariant unwrapped(QVariant value)
{
    while (value.userType() == qMetaTypeId<QDBusVariant>())
        value = value.value<QDBusVariant>().variant();
    return value;
}

} // namespace

PortalSettings::PortalSettings(QDBusConnection bus, QObject *parent)
    : QObject(parent)
    , m_bus(bus)
{
    if (!m_bus.isConnected())
        return;
    // The slot's argument type must be known by name before QtDBus looks the slot up.
    qRegisterMetaType<QDBusVariant>();
    // Matched by path and interface only: the portal is the one sender of this signal, and a
    // filter on its well-known name would miss a portal that starts later.
    m_bus.connect(QString(), portalPath, settingsInterface, QStringLiteral("SettingChanged"), this,
        SLOT(settingChanged(QString, QString, QDBusVariant)));
}

void PortalSettings::read(const QString &group, const QString &key)
{
    if (!m_bus.isConnected()) {
        QMetaObject::invokeMethod(
            this, [this, group, key] { Q_EMIT readFailed(group, key); }, Qt::QueuedConnection);
        return;
    }
    // "Read" rather than the newer "ReadOne", which the portals of Debian 12 lack.
    QDBusMessage call
        = QDBusMessage::createMethodCall(portalService, portalPath, settingsInterface, QStringLiteral("Read"));
    call << group << key;
    auto *watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, group, key](QDBusPendingCallWatcher *done) {
        done->deleteLater();
        const QDBusPendingReply<QDBusVariant> answer = *done;
        if (answer.isError())
            Q_EMIT readFailed(group, key);
        else
            Q_EMIT valueChanged(group, key, unwrapped(answer.value().variant()));
    });
}

void PortalSettings::settingChanged(const QString &group, const QString &key, const QDBusVariant &value)
{
    Q_EMIT valueChanged(group, key, unwrapped(value.variant()));
}
