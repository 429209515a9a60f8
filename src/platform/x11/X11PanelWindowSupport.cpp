#include "platform/x11/X11PanelWindowSupport.h"

#include "platform/x11/Xcb.h"

#include <QByteArray>
#include <QGuiApplication>
#include <QRegion>
#include <QWidget>

#include <xcb/shape.h>
#include <xcb/xcb.h>
#include <xcb/xfixes.h>

#include <vector>

X11PanelWindowSupport::X11PanelWindowSupport(QObject *parent)
    : PanelWindowSupport(parent)
{
    m_connection = Xcb::qtConnection();
    if (!m_connection)
        return;

    m_compositorSelection = atom("_NET_WM_CM_S0");
    const xcb_query_extension_reply_t *fixes = xcb_get_extension_data(m_connection, &xcb_xfixes_id);
    if (fixes && fixes->present) {
        m_fixesFirstEvent = fixes->first_event;
        xcb_xfixes_select_selection_input(m_connection, Xcb::rootWindow(m_connection), m_compositorSelection,
            XCB_XFIXES_SELECTION_EVENT_MASK_SET_SELECTION_OWNER
                | XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_WINDOW_DESTROY
                | XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_CLIENT_CLOSE);
        xcb_flush(m_connection);
        qGuiApp->installNativeEventFilter(this);
    }
    // Asked after subscribing, so a compositor starting in between is not missed.
    auto owner = Xcb::own(xcb_get_selection_owner_reply(
        m_connection, xcb_get_selection_owner(m_connection, m_compositorSelection), nullptr));
    m_compositing = owner && owner->owner != XCB_NONE;
}

X11PanelWindowSupport::~X11PanelWindowSupport()
{
    if (qGuiApp)
        qGuiApp->removeNativeEventFilter(this);
}

std::uint32_t X11PanelWindowSupport::atom(const char *name) const
{
    return Xcb::atom(m_connection, name);
}

void X11PanelWindowSupport::prepare(QWidget &panel)
{
    panel.setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus
        | Qt::NoDropShadowWindowHint);
    panel.setAttribute(Qt::WA_TranslucentBackground);
    panel.setAttribute(Qt::WA_ShowWithoutActivating);
    panel.setAttribute(Qt::WA_X11DoNotAcceptFocus);
    if (!m_connection)
        return;

    // The window type reaches the window only once it exists.
    panel.winId();
    panel.setAttribute(Qt::WA_X11NetWmWindowTypeDock);
    panel.installEventFilter(this);
}

bool X11PanelWindowSupport::eventFilter(QObject *watched, QEvent *event)
{
    // Window managers read the states when a window is mapped and drop them when it is
    // unmapped, so they are set again before every map; Qt adds its own states to these.
    if (event->type() == QEvent::Show && watched->isWidgetType())
        markWindow(xcb_window_t(static_cast<QWidget *>(watched)->winId()));
    return false;
}

void X11PanelWindowSupport::markWindow(std::uint32_t window)
{
    const std::uint32_t states[] = { atom("_NET_WM_STATE_STICKY"), atom("_NET_WM_STATE_SKIP_TASKBAR"),
        atom("_NET_WM_STATE_SKIP_PAGER"), atom("_NET_WM_STATE_ABOVE") };
    xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, window, atom("_NET_WM_STATE"), XCB_ATOM_ATOM, 32,
        std::size(states), states);
    const std::uint32_t allDesktops = 0xFFFFFFFF;
    xcb_change_property(
        m_connection, XCB_PROP_MODE_REPLACE, window, atom("_NET_WM_DESKTOP"), XCB_ATOM_CARDINAL, 32, 1, &allDesktops);
    xcb_flush(m_connection);
}

void X11PanelWindowSupport::setClickThrough(QWidget &panel, bool clickThrough)
{
    if (!m_connection)
        return;
    const xcb_window_t window = xcb_window_t(panel.winId());
    if (clickThrough)
        xcb_shape_rectangles(
            m_connection, XCB_SHAPE_SO_SET, XCB_SHAPE_SK_INPUT, XCB_CLIP_ORDERING_UNSORTED, window, 0, 0, 0, nullptr);
    else
        xcb_shape_mask(m_connection, XCB_SHAPE_SO_SET, XCB_SHAPE_SK_INPUT, window, 0, 0, XCB_NONE);
    xcb_flush(m_connection);
}

void X11PanelWindowSupport::setInputRegion(QWidget &panel, const QRegion &region)
{
    if (!m_connection)
        return;
    std::vector<xcb_rectangle_t> rectangles;
    for (const QRect &rect : region)
        rectangles.push_back({ std::int16_t(rect.x()), std::int16_t(rect.y()), std::uint16_t(rect.width()),
            std::uint16_t(rect.height()) });
    xcb_shape_rectangles(m_connection, XCB_SHAPE_SO_SET, XCB_SHAPE_SK_INPUT, XCB_CLIP_ORDERING_UNSORTED,
        xcb_window_t(panel.winId()), 0, 0, std::uint32_t(rectangles.size()), rectangles.data());
    xcb_flush(m_connection);
}

bool X11PanelWindowSupport::nativeEventFilter(const QByteArray &, void *message, qintptr *)
{
    const auto *event = static_cast<const xcb_generic_event_t *>(message);
    if ((event->response_type & 0x7f) != m_fixesFirstEvent + XCB_XFIXES_SELECTION_NOTIFY)
        return false;
    const auto *notify = static_cast<const xcb_xfixes_selection_notify_event_t *>(message);
    if (notify->selection != m_compositorSelection)
        return false;
    const bool compositing = notify->owner != XCB_NONE;
    if (compositing != m_compositing) {
        m_compositing = compositing;
        Q_EMIT needsShapeMaskChanged();
    }
    return false;
}
