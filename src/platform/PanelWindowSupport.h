#pragma once

#include <QObject>

class QRegion;
class QWidget;

// What the window system must do for the overlay's window: keep it frameless, translucent,
// unfocusable, above normal windows and on every desktop, out of taskbar, pager and window
// cycling, and let input pass through it on demand.
class PanelWindowSupport : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // Called once on a fresh top-level widget before it is first shown.
    virtual void prepare(QWidget &panel) = 0;
    // Click-through: pointer input reaches whatever lies beneath the window.
    virtual void setClickThrough(QWidget &panel, bool clickThrough) = 0;
    // Pointer input reaches the window inside `region` (window coordinates) and passes through
    // everywhere else.
    virtual void setInputRegion(QWidget &panel, const QRegion &region) = 0;
    // True when transparent pixels would not show as transparent (no compositing manager), so
    // the window has to be cut to the drawn shape.
    virtual bool needsShapeMask() const = 0;

Q_SIGNALS:
    void needsShapeMaskChanged();
};
