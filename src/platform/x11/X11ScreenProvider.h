#pragma once

#include "platform/ScreenProvider.h"
#include "platform/x11/X11ActiveWindowWatcher.h"

#include <QTimer>

class QScreen;

// Screens from QGuiApplication, with the work area the window manager leaves free of panels.
// Linux displays report no camera housing: top inset 0 and no side areas.
class X11ScreenProvider final : public ScreenProvider {
    Q_OBJECT
public:
    explicit X11ScreenProvider(QObject *parent = nullptr);

    QList<ScreenInfo> screens() const override;
    std::optional<ScreenInfo> mainScreen() const override;
    std::optional<QRectF> activeFullScreenWindow() const override;

private:
    static ScreenInfo info(const QScreen &screen);
    void watch(QScreen *screen);

    // Qt reports one configuration change as several signals; they are folded into one notice.
    QTimer m_coalesce;
    X11ActiveWindowWatcher m_activeWindow;
};
