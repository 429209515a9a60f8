#pragma once

#include "platform/freedesktop/StatusNotifierHosts.h"
#include "platform/qt/TrayStatusItem.h"
#include "platform/x11/X11SelectionOwner.h"

// The tray icon on X11. A tray is there while an XEmbed host owns the tray selection or a
// StatusNotifierItem host is registered on the session bus (KDE Plasma on Wayland without its
// XEmbed proxy, GNOME's AppIndicator extension, waybar): both tell at once when a host starts or
// ends, where Qt remembers a host for a moment after it has gone. On a StatusNotifierItem host,
// which does not tell its panel's colour, the symbol is drawn to be seen on any panel.
class X11TrayStatusItem final : public TrayStatusItem {
    Q_OBJECT
public:
    explicit X11TrayStatusItem(QObject *parent = nullptr);

    bool isAvailable() const override;

private:
    X11SelectionOwner m_trayHost;
    StatusNotifierHosts m_statusNotifierHosts;
};
