#include "platform/x11/X11TrayStatusItem.h"

X11TrayStatusItem::X11TrayStatusItem(QObject *parent)
    : TrayStatusItem(parent)
    , m_trayHost("_NET_SYSTEM_TRAY_S0")
{
    connect(&m_trayHost, &X11SelectionOwner::ownedChanged, this, &StatusItem::availabilityChanged);
    connect(&m_statusNotifierHosts, &StatusNotifierHosts::presentChanged, this, [this](bool present) {
        setPanelColourKnown(!present);
        Q_EMIT availabilityChanged();
    });
}

bool X11TrayStatusItem::isAvailable() const
{
    if (m_statusNotifierHosts.isPresent())
        return true;
    return m_trayHost.isWatching() ? m_trayHost.isOwned() : TrayStatusItem::isAvailable();
}
