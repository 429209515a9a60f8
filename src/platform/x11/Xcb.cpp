#include "platform/x11/Xcb.h"

#include <QGuiApplication>

xcb_connection_t *Xcb::qtConnection()
{
    auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}
