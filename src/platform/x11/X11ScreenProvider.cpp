#include "platform/x11/X11ScreenProvider.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWindow>

X11ScreenProvider::X11ScreenProvider(QObject *parent)
    : ScreenProvider(parent)
{
    m_coalesce.setSingleShot(true);
    m_coalesce.setInterval(0);
    connect(&m_coalesce, &QTimer::timeout, this, &ScreenProvider::screensChanged);
    connect(&m_activeWindow, &X11ActiveWindowWatcher::changed, this, &ScreenProvider::activeFullScreenWindowChanged);
    connect(qGuiApp, &QGuiApplication::screenAdded, this, [this](QScreen *screen) {
        watch(screen);
        m_coalesce.start();
    });
    connect(qGuiApp, &QGuiApplication::screenRemoved, &m_coalesce, qOverload<>(&QTimer::start));
    connect(qGuiApp, &QGuiApplication::primaryScreenChanged, &m_coalesce, qOverload<>(&QTimer::start));
    const auto all = QGuiApplication::screens();
    for (QScreen *screen : all)
        watch(screen);
}

void X11ScreenProvider::watch(QScreen *screen)
{
    connect(screen, &QScreen::geometryChanged, &m_coalesce, qOverload<>(&QTimer::start));
    // Qt reads the work area from _NET_WORKAREA and follows it as the window manager changes it.
    connect(screen, &QScreen::availableGeometryChanged, &m_coalesce, qOverload<>(&QTimer::start));
}

ScreenInfo X11ScreenProvider::info(const QScreen &screen)
{
    return ScreenInfo { screen.name(), screen.geometry(), 0, std::nullopt, std::nullopt, screen.availableGeometry() };
}

QList<ScreenInfo> X11ScreenProvider::screens() const
{
    QList<ScreenInfo> result;
    const auto all = QGuiApplication::screens();
    for (const QScreen *screen : all)
        result.append(info(*screen));
    return result;
}

std::optional<ScreenInfo> X11ScreenProvider::mainScreen() const
{
    const QWindow *focused = QGuiApplication::focusWindow();
    const QScreen *screen = focused && focused->screen() ? focused->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return std::nullopt;
    return info(*screen);
}

std::optional<QRectF> X11ScreenProvider::activeFullScreenWindow() const
{
    const std::optional<QRect> window = m_activeWindow.fullScreenWindow();
    if (!window)
        return std::nullopt;
    return QRectF(*window);
}
