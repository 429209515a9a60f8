#include "platform/x11/Xcb.h"

#include <QGuiApplication>
#include <QScreen>

#include <algorithm>
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

bool Xcb::isXWayland(xcb_connection_t *connection)
{
    // Recent XWayland servers announce an extension of that name; all of them name their
    // outputs XWAYLAND0, XWAYLAND1 and so on.
    const char name[] = "XWAYLAND";
    auto extension = own(xcb_query_extension_reply(
        connection, xcb_query_extension(connection, std::uint16_t(std::strlen(name)), name), nullptr));
    if (extension && extension->present)
        return true;
    const auto screens = QGuiApplication::screens();
    return std::any_of(screens.cbegin(), screens.cend(),
        [](const QScreen *screen) { return screen->name().startsWith(QLatin1String("XWAYLAND")); });
}
