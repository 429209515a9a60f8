#include "app/PlatformChoice.h"

namespace {

bool isWaylandSession(const QProcessEnvironment &environment)
{
    return !environment.value(QStringLiteral("WAYLAND_DISPLAY")).isEmpty()
        || environment.value(QStringLiteral("XDG_SESSION_TYPE")) == u"wayland";
}

} // namespace

QByteArray PlatformChoice::platformFor(const QProcessEnvironment &environment)
{
    if (environment.contains(QStringLiteral("QT_QPA_PLATFORM")) || !isWaylandSession(environment))
        return {};
    // XWayland announces itself through DISPLAY.
    return environment.value(QStringLiteral("DISPLAY")).isEmpty() ? QByteArray() : QByteArrayLiteral("xcb");
}

bool PlatformChoice::waylandWithoutXWayland(const QProcessEnvironment &environment)
{
    return isWaylandSession(environment) && environment.value(QStringLiteral("DISPLAY")).isEmpty()
        && !environment.contains(QStringLiteral("QT_QPA_PLATFORM"));
}
