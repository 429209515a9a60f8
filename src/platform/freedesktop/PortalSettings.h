#pragma once

#include <QDBusConnection>
#include <QDBusVariant>
#include <QObject>
#include <QString>

// The XDG desktop portal's settings on the session bus: reads a setting once on request and
// passes on every change the portal announces (SettingChanged), for any setting. Values arrive
// plain, though older portals wrap them in a second variant.
class PortalSettings final : public QObject {
    Q_OBJECT
public:
    explicit PortalSettings(QDBusConnection bus, QObject *parent = nullptr);

    // Asks the portal for one setting: valueChanged() follows with its value, or readFailed()
    // when there is no portal or the portal does not know the setting.
    void read(const QString &group, const QString &key);

Q_SIGNALS:
    void valueChanged(const QString &group, const QString &key, const QVariant &value);
    void readFailed(const QString &group, const QString &key);

private Q_SLOTS:
    void settingChanged(const QString &group, const QString &key, const QDBusVariant &value);

private:
    QDBusConnection m_bus;
};
