#pragma once

#include "platform/ReduceMotion.h"

#include <QDBusConnection>
#include <QDBusVariant>
#include <QString>

// The desktop's animation setting, read through the XDG desktop portal's settings interface on
// the session bus, which carries GNOME's "enable-animations" and KDE's animation speed alike.
// Without a portal, or before its answer arrives, motion stays on (animations are the default).
class DesktopReduceMotion final : public ReduceMotion {
    Q_OBJECT
public:
    explicit DesktopReduceMotion(QDBusConnection bus = QDBusConnection::sessionBus(), QObject *parent = nullptr);

    bool isOn() const override { return m_gnomeOff || m_kdeOff; }

private Q_SLOTS:
    void settingChanged(const QString &group, const QString &key, const QDBusVariant &value);

private:
    void read(const QString &group, const QString &key);
    void apply(const QString &group, const QString &key, const QVariant &value);

    QDBusConnection m_bus;
    bool m_gnomeOff = false;
    bool m_kdeOff = false;
};
