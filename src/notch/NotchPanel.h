#pragma once

#include <QWidget>

class NotchView;
class PanelWindowSupport;

// The overlay's window: borderless, translucent, never focused, above normal windows on every
// desktop, click-through while the overlay is collapsed. It keeps the expanded size at all times;
// the view draws the shape inside it. Where the desktop cannot show transparent pixels (no
// compositing manager) the window is cut to the drawn shape on every frame.
class NotchPanel final : public QWidget {
    Q_OBJECT
public:
    // `frame` is in the window system's global coordinates.
    NotchPanel(const QRect &frame, PanelWindowSupport &windowSupport);

    // Takes the view as the whole content of the panel.
    void setContent(NotchView *view);
    NotchView *content() const { return m_view; }

    void setFrame(const QRect &frame);
    void setClickThrough(bool clickThrough);
    bool isClickThrough() const { return m_clickThrough; }
    // Where the pointer can only be followed over our own windows, click-through leaves the
    // drawn shape taking input, so that hovering and pressing it can be seen.
    void setInputOnShape(bool inputOnShape);

    // Kept hidden while suppressed, whatever show() and hide() ask; afterwards it is as last asked.
    void setSuppressed(bool suppressed);
    void setVisible(bool visible) override;

Q_SIGNALS:
    // A right click on the panel where it takes clicks, or the menu key while it has the focus;
    // `position` in global coordinates.
    void menuRequested(QPoint position);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    void shapeChanged();
    void updateMask();
    void updateInput();
    QRegion shapeRegion() const;

    PanelWindowSupport &m_windowSupport;
    NotchView *m_view = nullptr;
    bool m_clickThrough = false;
    bool m_inputOnShape = false;
    bool m_suppressed = false;
    bool m_wantsVisible = false;
};
