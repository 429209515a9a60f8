#pragma once

#include "platform/qt/TrayStatusItem.h"
#include "platform/x11/X11SelectionOwner.h"

// The tray icon on X11, where a tray host is there while it owns the tray selection: that tells at
// once when one starts or ends, where Qt remembers a host for a moment after it has gone.
class X11TrayStatusItem final : public TrayStatusItem {
    Q_OBJECT
public:
    explicit X11TrayStatusItem(QObject *parent = nullptr);

    bool isAvailable() const override;

private:
    X11SelectionOwner m_trayHost;
};
