#pragma once

#include "platform/PointerMonitor.h"

#include <QAbstractNativeEventFilter>

#include <cstdint>

// Pointer events on X11. XInput2 raw motion and raw button presses, selected on the root window
// through Qt's own xcb connection, report every movement and press on the desktop, our own
// windows included, without a grab and without polling. Raw events carry no position, so the
// position is asked for when an event is handled; movements read from the server in one go are
// therefore reported as one, after the last of them. Movements with the left button held (drags)
// are not reported. Without XInput2, and on XWayland, only the events of our own windows are seen,
// and leaving them is reported.
class X11PointerMonitor final : public PointerMonitor, private QAbstractNativeEventFilter {
    Q_OBJECT
public:
    // What the monitor asks for: desktop-wide events where the server can give them, or only
    // those of our own windows, as where it cannot.
    enum class Reach { Desktop, OwnWindows };

    explicit X11PointerMonitor(Reach reach = Reach::Desktop, QObject *parent = nullptr);
    ~X11PointerMonitor() override;

    QPointF position() const override;
    // Whether the desktop-wide raw events could be selected.
    bool isGlobal() const override { return m_inputOpcode != 0; }

private:
    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    bool selectRawEvents();
    void reportMotion();

    std::uint8_t m_inputOpcode = 0;
    bool m_motionPending = false;
    bool m_leftButtonHeld = false;
};
