#include "platform/x11/X11SelectionOwner.h"

#include "platform/x11/Xcb.h"

#include <QGuiApplication>

#include <xcb/xfixes.h>

X11SelectionOwner::X11SelectionOwner(const char *selection, QObject *parent)
    : QObject(parent)
{
    xcb_connection_t *connection = Xcb::qtConnection();
    if (!connection)
        return;
    m_selection = Xcb::atom(connection, selection);
    const xcb_query_extension_reply_t *fixes = xcb_get_extension_data(connection, &xcb_xfixes_id);
    if (fixes && fixes->present) {
        m_fixesFirstEvent = fixes->first_event;
        xcb_xfixes_select_selection_input(connection, Xcb::rootWindow(connection), m_selection,
            XCB_XFIXES_SELECTION_EVENT_MASK_SET_SELECTION_OWNER
                | XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_WINDOW_DESTROY
                | XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_CLIENT_CLOSE);
        xcb_flush(connection);
        qGuiApp->installNativeEventFilter(this);
    }
    // Asked after subscribing, so an owner turning up in between is not missed.
    auto owner = Xcb::own(
        xcb_get_selection_owner_reply(connection, xcb_get_selection_owner(connection, m_selection), nullptr));
    m_owned = owner && owner->owner != XCB_NONE;
}

X11SelectionOwner::~X11SelectionOwner()
{
    if (qGuiApp)
        qGuiApp->removeNativeEventFilter(this);
}

bool X11SelectionOwner::nativeEventFilter(const QByteArray &, void *message, qintptr *)
{
    const auto *event = static_cast<const xcb_generic_event_t *>(message);
    if ((event->response_type & 0x7f) != m_fixesFirstEvent + XCB_XFIXES_SELECTION_NOTIFY)
        return false;
    const auto *notify = static_cast<const xcb_xfixes_selection_notify_event_t *>(message);
    if (notify->selection != m_selection)
        return false;
    const bool owned = notify->owner != XCB_NONE;
    if (owned != m_owned) {
        m_owned = owned;
        Q_EMIT ownedChanged(owned);
    }
    return false;
}
