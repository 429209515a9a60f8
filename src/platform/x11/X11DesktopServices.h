#pragma once

#include "platform/DesktopServices.h"

// The desktop services of an X11 session on Qt's xcb platform. For src/app only.
DesktopServices createX11DesktopServices();
