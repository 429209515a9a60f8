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

std::optional<std::uint8_t> Xcb::keycodeOf(xcb_connection_t *connection, std::uint32_t keysym)
{
    const xcb_setup_t *setup = xcb_get_setup(connection);
    const auto mapping = Xcb::own(xcb_get_keyboard_mapping_reply(connection,
        xcb_get_keyboard_mapping(connection, setup->min_keycode, setup->max_keycode - setup->min_keycode + 1),
        nullptr));
    if (!mapping || mapping->keysyms_per_keycode == 0)
        return std::nullopt;
    const xcb_keysym_t *keysyms = xcb_get_keyboard_mapping_keysyms(mapping.get());
    const int count = xcb_get_keyboard_mapping_keysyms_length(mapping.get());
    for (int i = 0; i < count; ++i) {
        if (keysyms[i] == keysym)
            return std::uint8_t(setup->min_keycode + i / mapping->keysyms_per_keycode);
    }
    return std::nullopt;
}
