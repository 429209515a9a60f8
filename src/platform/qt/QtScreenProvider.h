#pragma once

#include "platform/ScreenProvider.h"

#include <QTimer>

class QScreen;

// Screens from QGuiApplication, with the work area the window manager leaves free of panels (Qt
// reads it from _NET_WORKAREA on X11). Linux displays report no camera housing: top inset 0 and no
// side areas. Qt alone cannot see other programs' windows, so no full-screen window is reported;
// a backend that can see them overrides activeFullScreenWindow().
class QtScreenProvider : public ScreenProvider {
    Q_OBJECT
public:
    explicit QtScreenProvider(QObject *parent = nullptr);

    QList<ScreenInfo> screens() const override;
    std::optional<ScreenInfo> mainScreen() const override;
    std::optional<QRectF> activeFullScreenWindow() const override { return std::nullopt; }

private:
    static ScreenInfo info(const QScreen &screen);
    void watch(QScreen *screen);

    // Qt reports one configuration change as several signals; they are folded into one notice.
    QTimer m_coalesce;
};
