#include "platform/qt/QtScreenProvider.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWindow>

QtScreenProvider::QtScreenProvider(QObject *parent)
    : ScreenProvider(parent)
{
    m_coalesce.setSingleShot(true);
    m_coalesce.setInterval(0);
    connect(&m_coalesce, &QTimer::timeout, this, &ScreenProvider::screensChanged);
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

void QtScreenProvider::watch(QScreen *screen)
{
    connect(screen, &QScreen::geometryChanged, &m_coalesce, qOverload<>(&QTimer::start));
    // Qt follows the work area as the window manager changes it.
    connect(screen, &QScreen::availableGeometryChanged, &m_coalesce, qOverload<>(&QTimer::start));
}

ScreenInfo QtScreenProvider::info(const QScreen &screen)
{
    return ScreenInfo { screen.name(), screen.geometry(), 0, std::nullopt, std::nullopt, screen.availableGeometry() };
}

QList<ScreenInfo> QtScreenProvider::screens() const
{
    QList<ScreenInfo> result;
    const auto all = QGuiApplication::screens();
    for (const QScreen *screen : all)
        result.append(info(*screen));
    return result;
}

std::optional<ScreenInfo> QtScreenProvider::mainScreen() const
{
    const QWindow *focused = QGuiApplication::focusWindow();
    const QScreen *screen = focused && focused->screen() ? focused->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return std::nullopt;
    return info(*screen);
}
