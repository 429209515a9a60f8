#include "platform/x11/X11PanelWindowSupport.h"

#include "platform/x11/Xcb.h"

#include <QGuiApplication>
#include <QRegion>
#include <QWidget>

#include <xcb/shape.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <vector>

namespace {

// Whether a window manager runs that knows neither dock windows nor windows kept above the others,
// such as the one wlroots gives XWayland under sway and other tiling compositors: it would tile
// the panel as a normal window.
bool managerKnowsNoPanels(xcb_connection_t *connection)
{
    const xcb_window_t root = Xcb::rootWindow(connection);
    const auto property = [connection, root](const char *name, xcb_atom_t type) {
        return Xcb::own(xcb_get_property_reply(
            connection, xcb_get_property(connection, 0, root, Xcb::atom(connection, name), type, 0, 1024), nullptr));
    };
    const auto check = property("_NET_SUPPORTING_WM_CHECK", XCB_ATOM_WINDOW);
    if (!check || xcb_get_property_value_length(check.get()) == 0)
        return false; // no window manager: windows stay where they are put
    const auto supported = property("_NET_SUPPORTED", XCB_ATOM_ATOM);
    if (!supported)
        return false;
    const auto *atoms = static_cast<const xcb_atom_t *>(xcb_get_property_value(supported.get()));
    const auto end = atoms + xcb_get_property_value_length(supported.get()) / sizeof(xcb_atom_t);
    const xcb_atom_t dock = Xcb::atom(connection, "_NET_WM_WINDOW_TYPE_DOCK");
    const xcb_atom_t above = Xcb::atom(connection, "_NET_WM_STATE_ABOVE");
    return std::none_of(atoms, end, [dock, above](xcb_atom_t atom) { return atom == dock || atom == above; });
}

} // namespace

X11PanelWindowSupport::X11PanelWindowSupport(QObject *parent)
    : PanelWindowSupport(parent)
    , m_connection(Xcb::qtConnection())
    , m_compositor("_NET_WM_CM_S0")
{
    connect(&m_compositor, &X11SelectionOwner::ownedChanged, this, &PanelWindowSupport::needsShapeMaskChanged);
}

X11PanelWindowSupport::~X11PanelWindowSupport() = default;

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
    // Such a manager is left out: the panel places itself and stays above managed windows.
    if (managerKnowsNoPanels(m_connection))
        panel.setWindowFlag(Qt::X11BypassWindowManagerHint);

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
