#pragma once

#include "platform/DoNotDisturb.h"
#include "platform/freedesktop/PortalSettings.h"

#include <QDBusConnection>
#include <QDBusServiceWatcher>

#include <optional>

// The desktop's Do Not Disturb from its two sources on the session bus, both followed by signals:
// the notification service's "Inhibited" property (KDE Plasma, and other servers that implement
// it), read while the service runs and followed through PropertiesChanged, and GNOME's banner
// switch ("show-banners" of org.gnome.desktop.notifications, false while GNOME's Do Not Disturb is
// on), read through the XDG desktop portal's settings. Either one saying so turns it on; known
// while either one answers. The notification service is not started for this: its property is
// read once the service has its name.
class DesktopDoNotDisturb final : public DoNotDisturb {
    Q_OBJECT
public:
    explicit DesktopDoNotDisturb(QDBusConnection bus = QDBusConnection::sessionBus(), QObject *parent = nullptr);

    bool isKnown() const override { return m_inhibited.has_value() || m_bannersOff.has_value(); }
    bool isOn() const override { return m_inhibited.value_or(false) || m_bannersOff.value_or(false); }

private Q_SLOTS:
    void propertiesChanged(const QString &interface, const QVariantMap &changed, const QStringList &invalidated);

private:
    void readInhibited();
    void update(std::optional<bool> &source, std::optional<bool> value);

    QDBusConnection m_bus;
    PortalSettings m_settings;
    QDBusServiceWatcher m_service;
    std::optional<bool> m_inhibited;
    std::optional<bool> m_bannersOff;
};
