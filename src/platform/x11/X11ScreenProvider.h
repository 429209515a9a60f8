#pragma once

#include "platform/qt/QtScreenProvider.h"
#include "platform/x11/X11ActiveWindowWatcher.h"

// Qt's screens, and the active window's frame while it is full-screen, as the window manager
// publishes it.
class X11ScreenProvider final : public QtScreenProvider {
    Q_OBJECT
public:
    explicit X11ScreenProvider(QObject *parent = nullptr);

    std::optional<QRectF> activeFullScreenWindow() const override;

private:
    X11ActiveWindowWatcher m_activeWindow;
};
