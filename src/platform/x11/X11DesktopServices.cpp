// The backend set of an X11 session on Qt's xcb platform: X11 for the pointer, the panel window,
// the screens' full-screen windows and the tray host, the freedesktop portal for reduce motion and
// the notification service for the desktop's notifications; the desktop's Do Not Disturb from the
// notification service and the portal. The global shortcut is a key grab on X11 and the portal's
// on XWayland, where a grab only fires while one of XWayland's windows has the focus.
#include "platform/DesktopServices.h"

#include "platform/freedesktop/DesktopDoNotDisturb.h"
#include "platform/freedesktop/DesktopReduceMotion.h"
#include "platform/freedesktop/FreedesktopNotifier.h"
#include "platform/freedesktop/PortalGlobalShortcut.h"
#include "platform/x11/X11GlobalShortcut.h"
#include "platform/x11/X11PanelWindowSupport.h"
#include "platform/x11/X11PointerMonitor.h"
#include "platform/x11/X11ScreenProvider.h"
#include "platform/x11/X11TrayStatusItem.h"
#include "platform/x11/Xcb.h"

#include <QGuiApplication>

namespace {

std::unique_ptr<GlobalShortcut> makeShortcut()
{
    xcb_connection_t *connection = Xcb::qtConnection();
    if (connection && !Xcb::isXWayland(connection))
        return std::make_unique<X11GlobalShortcut>();
    return std::make_unique<PortalGlobalShortcut>(
        QCoreApplication::translate("GlobalShortcut", "Tarnlet-Overlay öffnen und anheften"));
}

} // namespace

DesktopServices createDesktopServices()
{
    return DesktopServices { std::make_unique<X11ScreenProvider>(), std::make_unique<X11PointerMonitor>(),
        std::make_unique<X11PanelWindowSupport>(), std::make_unique<DesktopReduceMotion>(),
        std::make_unique<FreedesktopNotifier>(QCoreApplication::applicationName(), QGuiApplication::desktopFileName()),
        [] { return std::make_unique<X11TrayStatusItem>(); }, makeShortcut(), std::make_unique<DesktopDoNotDisturb>() };
}
