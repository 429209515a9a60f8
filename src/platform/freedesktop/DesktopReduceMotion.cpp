#include "platform/freedesktop/DesktopReduceMotion.h"

#include "platform/freedesktop/Portal.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

namespace {

const QString settingsInterface = QStringLiteral("org.freedesktop.portal.Settings");
const QString gnomeGroup = QStringLiteral("org.gnome.desktop.interface");
const QString gnomeKey = QStringLiteral("enable-animations");
const QString kdeGroup = QStringLiteral("org.kde.kdeglobals.KDE");
const QString kdeKey = QStringLiteral("AnimationDurationFactor");

// Older portals wrap the value in a second variant.
QVariant unwrapped(QVariant value)
{
    while (value.canConvert<QDBusVariant>() && value.userType() == qMetaTypeId<QDBusVariant>())
        value = value.value<QDBusVariant>().variant();
    return value;
}

} // namespace

DesktopReduceMotion::DesktopReduceMotion(QDBusConnection bus, QObject *parent)
    : ReduceMotion(parent)
    , m_bus(bus)
{
    if (!m_bus.isConnected())
        return;
    // The slot's argument type must be known by name before QtDBus looks the slot up.
    qRegisterMetaType<QDBusVariant>();
    // Matched by path and interface only: the portal is the one sender of this signal, and a
    // filter on its well-known name would miss a portal that starts later.
    m_bus.connect(QString(), Portal::path, settingsInterface, QStringLiteral("SettingChanged"), this,
        SLOT(settingChanged(QString, QString, QDBusVariant)));
    read(gnomeGroup, gnomeKey);
    read(kdeGroup, kdeKey);
}

void DesktopReduceMotion::read(const QString &group, const QString &key)
{
    QDBusMessage call
        = QDBusMessage::createMethodCall(Portal::service, Portal::path, settingsInterface, QStringLiteral("Read"));
    call << group << key;
    auto *watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, group, key](QDBusPendingCallWatcher *done) {
        done->deleteLater();
        const QDBusPendingReply<QDBusVariant> answer = *done;
        if (!answer.isError())
            apply(group, key, answer.value().variant());
    });
}

void DesktopReduceMotion::settingChanged(const QString &group, const QString &key, const QDBusVariant &value)
{
    apply(group, key, value.variant());
}

void DesktopReduceMotion::apply(const QString &group, const QString &key, const QVariant &value)
{
    const bool before = isOn();
    const QVariant plain = unwrapped(value);
    // Only a value that reads as a number is a duration factor: a word would read as 0 otherwise.
    bool isNumber = false;
    const double factor = plain.toDouble(&isNumber);
    if (group == gnomeGroup && key == gnomeKey && plain.typeId() == QMetaType::Bool)
        m_gnomeOff = !plain.toBool();
    else if (group == kdeGroup && key == kdeKey && isNumber)
        m_kdeOff = factor <= 0;
    else
        return;
    if (isOn() != before)
        Q_EMIT changed();
}
