#include "platform/x11/X11PointerMonitor.h"

#include "platform/x11/Xcb.h"

#include <QCursor>
#include <QGuiApplication>
#include <QMouseEvent>

#include <xcb/xcb.h>
#include <xcb/xinput.h>

X11PointerMonitor::X11PointerMonitor(Reach reach, QObject *parent)
    : PointerMonitor(parent)
{
    if (reach == Reach::Desktop && selectRawEvents())
        qGuiApp->installNativeEventFilter(this);
    else
        qGuiApp->installEventFilter(this);
}

X11PointerMonitor::~X11PointerMonitor()
{
    if (qGuiApp)
        qGuiApp->removeNativeEventFilter(this);
}

bool X11PointerMonitor::selectRawEvents()
{
    xcb_connection_t *connection = Xcb::qtConnection();
    if (!connection)
        return false;
    const xcb_query_extension_reply_t *extension = xcb_get_extension_data(connection, &xcb_input_id);
    if (!extension || !extension->present)
        return false;
    // XWayland sends raw events only while the pointer is over one of its windows, and keeps the
    // last position once it is elsewhere: there only our own windows' events can be trusted.
    if (Xcb::isXWayland(connection))
        return false;

    // Master devices only: each physical event then arrives once, not again for its slave device.
    struct {
        xcb_input_event_mask_t head;
        std::uint32_t bits;
    } mask { { XCB_INPUT_DEVICE_ALL_MASTER, 1 },
        XCB_INPUT_XI_EVENT_MASK_RAW_MOTION | XCB_INPUT_XI_EVENT_MASK_RAW_BUTTON_PRESS
            | XCB_INPUT_XI_EVENT_MASK_RAW_BUTTON_RELEASE };
    const xcb_void_cookie_t cookie
        = xcb_input_xi_select_events_checked(connection, Xcb::rootWindow(connection), 1, &mask.head);
    if (Xcb::own(xcb_request_check(connection, cookie)))
        return false;
    m_inputOpcode = extension->major_opcode;
    return true;
}

bool X11PointerMonitor::nativeEventFilter(const QByteArray &, void *message, qintptr *)
{
    // Runs for every X event Qt reads: a couple of comparisons for all but our raw events.
    const auto *event = static_cast<const xcb_generic_event_t *>(message);
    if ((event->response_type & 0x7f) != XCB_GE_GENERIC)
        return false;
    const auto *generic = static_cast<const xcb_ge_generic_event_t *>(message);
    if (generic->extension != m_inputOpcode)
        return false;
    if (generic->event_type == XCB_INPUT_RAW_MOTION) {
        // A drag (the left button held) is no movement for the overlay.
        if (m_leftButtonHeld)
            return false;
        // Reported once the events Qt has read together are through: asking where the pointer
        // is costs a round trip to the server, which a fast mouse must not pay per event.
        if (!m_motionPending) {
            m_motionPending = true;
            QMetaObject::invokeMethod(this, &X11PointerMonitor::reportMotion, Qt::QueuedConnection);
        }
    } else if (generic->event_type == XCB_INPUT_RAW_BUTTON_PRESS) {
        const auto *press = static_cast<const xcb_input_raw_button_press_event_t *>(message);
        if (press->detail == 1) {
            m_leftButtonHeld = true;
            Q_EMIT pointerEvent(PointerEventType::LeftMouseDown);
        } else if (press->detail == 3) {
            Q_EMIT pointerEvent(PointerEventType::RightMouseDown);
        }
    } else if (generic->event_type == XCB_INPUT_RAW_BUTTON_RELEASE) {
        if (static_cast<const xcb_input_raw_button_release_event_t *>(message)->detail == 1)
            m_leftButtonHeld = false;
    }
    return false;
}

void X11PointerMonitor::reportMotion()
{
    m_motionPending = false;
    Q_EMIT pointerEvent(PointerEventType::MouseMoved);
}

bool X11PointerMonitor::eventFilter(QObject *watched, QEvent *event)
{
    // Without raw events: the presses, movements, entries and exits of our own windows. Each
    // arrives here once per window object it passes, so only the top-level window's copy counts.
    if (!watched->isWindowType())
        return false;
    switch (event->type()) {
    case QEvent::MouseMove:
        // A drag is not a movement for the overlay.
        if (!(static_cast<QMouseEvent *>(event)->buttons() & Qt::LeftButton))
            Q_EMIT pointerEvent(PointerEventType::MouseMoved);
        break;
    case QEvent::Enter:
        Q_EMIT pointerEvent(PointerEventType::MouseMoved);
        break;
    case QEvent::Leave:
        Q_EMIT pointerEvent(PointerEventType::Left);
        break;
    case QEvent::MouseButtonPress:
        if (static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton)
            Q_EMIT pointerEvent(PointerEventType::LeftMouseDown);
        break;
    default:
        break;
    }
    return false;
}

QPointF X11PointerMonitor::position() const
{
    return QCursor::pos();
}
