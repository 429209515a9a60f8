#pragma once

#include <xcb/xcb.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <optional>

// Small helpers for talking to the X server over Qt's own xcb connection.
namespace Xcb {

// Qt's connection on the xcb platform, else null.
xcb_connection_t *qtConnection();

// The atom of that name (a round trip); XCB_ATOM_NONE when the server does not answer.
xcb_atom_t atom(xcb_connection_t *connection, const char *name);

// Whether the X server is XWayland, the X server inside a Wayland session.
bool isXWayland(xcb_connection_t *connection);

// The first keycode the keyboard maps the keysym to, in any of its levels (a round trip).
std::optional<std::uint8_t> keycodeOf(xcb_connection_t *connection, std::uint32_t keysym);

inline xcb_window_t rootWindow(xcb_connection_t *connection)
{
    return xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
}

// Replies and errors are malloc'ed by xcb and freed by their receiver.
template<typename T> using Reply = std::unique_ptr<T, decltype(&std::free)>;

template<typename T> Reply<T> own(T *value)
{
    return Reply<T>(value, &std::free);
}

} // namespace Xcb
