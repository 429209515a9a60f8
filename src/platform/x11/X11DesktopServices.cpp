#include "platform/x11/X11DesktopServices.h"

#include "platform/x11/DesktopReduceMotion.h"
#include "platform/x11/X11PanelWindowSupport.h"
#include "platform/x11/X11PointerMonitor.h"
#include "platform/x11/X11ScreenProvider.h"

DesktopServices createX11DesktopServices()
{
    DesktopServices services;
    services.screens = std::make_unique<X11ScreenProvider>();
    services.pointer = std::make_unique<X11PointerMonitor>();
    services.panelWindow = std::make_unique<X11PanelWindowSupport>();
    services.reduceMotion = std::make_unique<DesktopReduceMotion>();
    return services;
}
