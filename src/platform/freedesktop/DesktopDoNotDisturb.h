#pragma once

#include "platform/DoNotDisturb.h"
#include "platform/freedesktop/GSettingsFlag.h"

#include <QDBusConnection>
#include <QDBusServiceWatcher>

#include <optional>

// The desktop's Do Not Disturb from its two sources, both followed by signals: the notification
// service's "Inhibited" property on the session bus (KDE Plasma, and other servers that implement
// it), read while the service runs and followed through PropertiesChanged, and GNOME's banner
// switch ("show-banners" of org.gnome.desktop.notifications, false while GNOME's Do Not Disturb is
// on) in GNOME's settings store. (The desktop portal's settings would spare GIO, but GNOME's
// portals carry only a fixed few schemas, not this one.) Either one saying so turns it on; known
// while either one answers. The notification service is not started for this: its property is
// read once the service has its name.
class DesktopDoNotDisturb final : public DoNotDisturb {
    Q_OBJECT
public:
    explicit DesktopDoNotDisturb(QDBusConnection bus = QDBusConnection::sessionBus(), QObject *parent = nullptr);

    static constexpr auto gnomeSchema = "org.gnome.desktop.notifications";
    static constexpr auto gnomeKey = "show-banners";

    bool isKnown() const override { return m_inhibited.has_value() || m_banners.value().has_value(); }
    bool isOn() const override { return m_inhibited.value_or(false) || !m_banners.value().value_or(true); }

private Q_SLOTS:
    void propertiesChanged(const QString &interface, const QVariantMap &changed, const QStringList &invalidated);

private:
    void readInhibited();
    void setInhibited(std::optional<bool> inhibited);

    QDBusConnection m_bus;
    GSettingsFlag m_banners;
    QDBusServiceWatcher m_service;
    std::optional<bool> m_inhibited;
};
