#include "app/PlatformChoice.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {

using namespace Qt::StringLiterals;

// Wayland sessions use XWayland when it is there; plain X11, an explicit choice by the user, or no
// XWayland leave the choice to Qt.
TEST(PlatformChoice, WaylandSessionsUseXWaylandWhenItIsThere)
{
    const std::tuple<QString, QByteArray, bool> cases[] = {
        // variables, platform, without XWayland
        { u"WAYLAND_DISPLAY=wayland-0 DISPLAY=:0"_s, "xcb", false },
        { u"XDG_SESSION_TYPE=wayland DISPLAY=:1"_s, "xcb", false },
        { u"DISPLAY=:0 XDG_SESSION_TYPE=x11"_s, "", false },
        { u"WAYLAND_DISPLAY=wayland-0 DISPLAY=:0 QT_QPA_PLATFORM=wayland"_s, "", false },
        { u"WAYLAND_DISPLAY=wayland-0"_s, "", true },
    };
    for (const auto &[variables, platform, withoutXWayland] : cases) {
        QProcessEnvironment environment;
        for (const QString &variable : variables.split(u' '))
            environment.insert(variable.section(u'=', 0, 0), variable.section(u'=', 1));
        EXPECT_EQ(PlatformChoice::platformFor(environment), platform) << variables.toStdString();
        EXPECT_EQ(PlatformChoice::waylandWithoutXWayland(environment), withoutXWayland);
    }
}

} // namespace
