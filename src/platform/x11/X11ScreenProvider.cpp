#include "platform/x11/X11ScreenProvider.h"

X11ScreenProvider::X11ScreenProvider(QObject *parent)
    : QtScreenProvider(parent)
{
    connect(&m_activeWindow, &X11ActiveWindowWatcher::changed, this, &ScreenProvider::activeFullScreenWindowChanged);
}

std::optional<QRectF> X11ScreenProvider::activeFullScreenWindow() const
{
    const std::optional<QRect> window = m_activeWindow.fullScreenWindow();
    if (!window)
        return std::nullopt;
    return QRectF(*window);
}
