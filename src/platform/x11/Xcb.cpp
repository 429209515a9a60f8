#include "platform/x11/Xcb.h"

#include <QGuiApplication>

#include <cstring>

xcb_connection_t *Xcb::qtConnection()
{
    auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

xcb_atom_t Xcb::atom(xcb_connection_t *connection, const char *name)
{
    auto answer = own(xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, false, std::uint16_t(std::strlen(name)), name), nullptr));
    return answer ? answer->atom : xcb_atom_t(XCB_ATOM_NONE);
}
