#include "platform/x11/X11ActiveWindowWatcher.h"

#include "platform/x11/Xcb.h"

#include <QGuiApplication>

#include <algorithm>

X11ActiveWindowWatcher::X11ActiveWindowWatcher(QObject *parent)
    : QObject(parent)
{
    m_connection = Xcb::qtConnection();
    if (!m_connection)
        return;
    m_root = Xcb::rootWindow(m_connection);
    m_activeAtom = Xcb::atom(m_connection, "_NET_ACTIVE_WINDOW");
    m_stateAtom = Xcb::atom(m_connection, "_NET_WM_STATE");
    m_fullScreenAtom = Xcb::atom(m_connection, "_NET_WM_STATE_FULLSCREEN");
    watchProperties(m_root);
    qGuiApp->installNativeEventFilter(this);
    followActiveWindow();
}

X11ActiveWindowWatcher::~X11ActiveWindowWatcher()
{
    if (qGuiApp)
        qGuiApp->removeNativeEventFilter(this);
}

std::uint32_t X11ActiveWindowWatcher::watchProperties(std::uint32_t window)
{
    // Event masks are per client and window: Qt's own selection on the window stays as it is.
    auto attributes = Xcb::own(
        xcb_get_window_attributes_reply(m_connection, xcb_get_window_attributes(m_connection, window), nullptr));
    if (!attributes)
        return 0;
    const std::uint32_t before = attributes->your_event_mask;
    if (!(before & XCB_EVENT_MASK_PROPERTY_CHANGE)) {
        const std::uint32_t mask = before | XCB_EVENT_MASK_PROPERTY_CHANGE;
        xcb_discard_reply(m_connection,
            xcb_change_window_attributes_checked(m_connection, window, XCB_CW_EVENT_MASK, &mask).sequence);
    }
    return before;
}

bool X11ActiveWindowWatcher::nativeEventFilter(const QByteArray &, void *message, qintptr *)
{
    const auto *event = static_cast<const xcb_generic_event_t *>(message);
    if ((event->response_type & 0x7f) != XCB_PROPERTY_NOTIFY)
        return false;
    const auto *notify = static_cast<const xcb_property_notify_event_t *>(message);
    if (notify->window == m_root && notify->atom == m_activeAtom)
        followActiveWindow();
    else if (notify->window == m_active && m_active != 0 && notify->atom == m_stateAtom)
        readState();
    return false;
}

void X11ActiveWindowWatcher::followActiveWindow()
{
    auto reply = Xcb::own(xcb_get_property_reply(
        m_connection, xcb_get_property(m_connection, false, m_root, m_activeAtom, XCB_ATOM_WINDOW, 0, 1), nullptr));
    std::uint32_t active = 0;
    if (reply && reply->format == 32 && xcb_get_property_value_length(reply.get()) >= 4)
        active = *static_cast<const std::uint32_t *>(xcb_get_property_value(reply.get()));
    if (active != m_active) {
        // The window we stop following hears from us what it heard before; it may be gone already.
        if (m_active != 0 && !(m_activeMaskBefore & XCB_EVENT_MASK_PROPERTY_CHANGE))
            xcb_discard_reply(m_connection,
                xcb_change_window_attributes_checked(m_connection, m_active, XCB_CW_EVENT_MASK, &m_activeMaskBefore)
                    .sequence);
        m_active = active;
        m_activeMaskBefore = active != 0 ? watchProperties(active) : 0;
    }
    readState();
}

void X11ActiveWindowWatcher::readState()
{
    std::optional<QRect> fullScreen;
    if (m_active != 0) {
        auto state = Xcb::own(xcb_get_property_reply(
            m_connection, xcb_get_property(m_connection, false, m_active, m_stateAtom, XCB_ATOM_ATOM, 0, 64), nullptr));
        const auto *atoms = state && state->format == 32
            ? static_cast<const xcb_atom_t *>(xcb_get_property_value(state.get()))
            : nullptr;
        const int count = atoms ? xcb_get_property_value_length(state.get()) / 4 : 0;
        if (std::find(atoms, atoms + count, m_fullScreenAtom) != atoms + count) {
            auto geometry
                = Xcb::own(xcb_get_geometry_reply(m_connection, xcb_get_geometry(m_connection, m_active), nullptr));
            auto position = Xcb::own(xcb_translate_coordinates_reply(
                m_connection, xcb_translate_coordinates(m_connection, m_active, m_root, 0, 0), nullptr));
            if (geometry && position)
                fullScreen = QRect(position->dst_x, position->dst_y, geometry->width, geometry->height);
        }
    }
    if (fullScreen != m_fullScreen) {
        m_fullScreen = fullScreen;
        Q_EMIT changed();
    }
}
