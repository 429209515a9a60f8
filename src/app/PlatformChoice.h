#pragma once

#include <QByteArray>
#include <QProcessEnvironment>

// Which Qt platform plugin the program asks for before Qt starts. On a Wayland session the
// overlay can only be placed at the top centre and kept above other windows through XWayland, so
// the xcb platform is chosen whenever XWayland is there; an explicit QT_QPA_PLATFORM is left alone.
namespace PlatformChoice {

// "xcb" when the program should switch to XWayland, else empty (Qt's own choice stands).
QByteArray platformFor(const QProcessEnvironment &environment);

// True on a Wayland session without XWayland, where the overlay cannot be placed reliably.
bool waylandWithoutXWayland(const QProcessEnvironment &environment);

} // namespace PlatformChoice
