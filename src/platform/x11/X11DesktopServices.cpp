// The backend set of an X11 session on Qt's xcb platform: X11 for the pointer, the panel window,
// the screens' full-screen windows and the tray host, the freedesktop portal for reduce motion and
// the notification service for the desktop's notifications.
#include "platform/DesktopServices.h"

#include "platform/freedesktop/DesktopReduceMotion.h"
#include "platform/freedesktop/FreedesktopNotifier.h"
#include "platform/x11/X11PanelWindowSupport.h"
#include "platform/x11/X11PointerMonitor.h"
#include "platform/x11/X11ScreenProvider.h"
#include "platform/x11/X11TrayStatusItem.h"

#include <QGuiApplication>

DesktopServices createDesktopServices()
{
    return DesktopServices { std::make_unique<X11ScreenProvider>(), std::make_unique<X11PointerMonitor>(),
        std::make_unique<X11PanelWindowSupport>(), std::make_unique<DesktopReduceMotion>(),
        std::make_unique<FreedesktopNotifier>(QCoreApplication::applicationName(), QGuiApplication::desktopFileName()),
        [] { return std::make_unique<X11TrayStatusItem>(); } };
}
