# The X11 backend: Qt's xcb connection plus the XInput2, Shape and XFixes extensions.
find_package(PkgConfig REQUIRED)
pkg_check_modules(XCB REQUIRED IMPORTED_TARGET xcb xcb-xinput xcb-shape xcb-xfixes)

set(backend_sources
  x11/X11DesktopServices.cpp x11/X11ScreenProvider.cpp x11/X11PointerMonitor.cpp
  x11/X11PanelWindowSupport.cpp x11/X11SelectionOwner.cpp x11/X11ActiveWindowWatcher.cpp x11/DesktopReduceMotion.cpp
  x11/Xcb.cpp x11/TrayStatusItem.cpp)
set(backend_libs Qt6::Widgets Qt6::DBus PkgConfig::XCB)
