#pragma once

#include <QDBusConnection>
#include <QDBusServiceWatcher>
#include <QObject>

// Whether a StatusNotifierItem host (KDE Plasma's panel, GNOME's AppIndicator extension, waybar)
// is registered with the StatusNotifierWatcher on the session bus: such a host shows tray items
// sent over D-Bus, with or without an XEmbed tray beside it. The watcher announces hosts coming
// and going, and its own start and end show on the bus, so nothing polls.
class StatusNotifierHosts final : public QObject {
    Q_OBJECT
public:
    explicit StatusNotifierHosts(QDBusConnection bus = QDBusConnection::sessionBus(), QObject *parent = nullptr);

    bool isPresent() const { return m_present; }

Q_SIGNALS:
    void presentChanged(bool present);

private Q_SLOTS:
    void read();

private:
    void setPresent(bool present);

    QDBusConnection m_bus;
    QDBusServiceWatcher m_watcher;
    bool m_present = false;
};
