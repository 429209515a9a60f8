#include "app/PlatformChoice.h"

#include <gtest/gtest.h>

namespace {

QProcessEnvironment environment(std::initializer_list<std::pair<const char *, const char *>> variables)
{
    QProcessEnvironment result;
    for (const auto &[name, value] : variables)
        result.insert(QString::fromLatin1(name), QString::fromLatin1(value));
    return result;
}

TEST(PlatformChoice, WaylandSessionsUseXWaylandWhenItIsThere)
{
    using PlatformChoice::platformFor;
    using PlatformChoice::waylandWithoutXWayland;
    const auto wayland = environment({ { "WAYLAND_DISPLAY", "wayland-0" }, { "DISPLAY", ":0" } });
    EXPECT_EQ(platformFor(wayland), "xcb");
    EXPECT_EQ(platformFor(environment({ { "XDG_SESSION_TYPE", "wayland" }, { "DISPLAY", ":1" } })), "xcb");
    EXPECT_FALSE(waylandWithoutXWayland(wayland));

    // Plain X11, an explicit choice by the user, or no XWayland: Qt decides.
    EXPECT_EQ(platformFor(environment({ { "DISPLAY", ":0" }, { "XDG_SESSION_TYPE", "x11" } })), "");
    EXPECT_EQ(platformFor(environment(
                  { { "WAYLAND_DISPLAY", "wayland-0" }, { "DISPLAY", ":0" }, { "QT_QPA_PLATFORM", "wayland" } })),
        "");
    const auto pureWayland = environment({ { "WAYLAND_DISPLAY", "wayland-0" } });
    EXPECT_EQ(platformFor(pureWayland), "");
    EXPECT_TRUE(waylandWithoutXWayland(pureWayland));
    EXPECT_FALSE(waylandWithoutXWayland(environment({ { "DISPLAY", ":0" } })));
}

} // namespace
