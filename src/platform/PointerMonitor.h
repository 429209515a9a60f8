#pragma once

#include <QObject>
#include <QPointF>

// Left: the pointer left our windows; sent only by a monitor that is not global, whose position
// goes stale once the pointer is elsewhere.
enum class PointerEventType { LeftMouseDown, RightMouseDown, MouseMoved, Left };

// Left-button presses (and, where events are global, right-button ones) and pointer movements anywhere on the desktop,
// our own windows included, delivered on the GUI thread. Each press is reported once; a backend may report movements
// that arrive together as one, since a movement only says "look at position() again". A movement with the left button
// held (a drag) is not reported.
class PointerMonitor : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // The pointer position at the moment of the call, in Qt's global coordinates (see ScreenProvider).
    virtual QPointF position() const = 0;
    // False where only the events of our own windows can be seen (no desktop-wide events).
    virtual bool isGlobal() const = 0;

Q_SIGNALS:
    void pointerEvent(PointerEventType type);
};
