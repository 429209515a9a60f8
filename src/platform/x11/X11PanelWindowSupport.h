#pragma once

#include "platform/PanelWindowSupport.h"
#include "platform/x11/X11SelectionOwner.h"

#include <cstdint>

typedef struct xcb_connection_t xcb_connection_t;

// The overlay window on X11: a dock-type window (no focus, above normal windows, out of taskbar
// and window cycling on the common window managers) that is also marked sticky, skip-taskbar,
// skip-pager and above through EWMH, so less common managers treat it the same. A window manager
// that supports neither (wlroots' for XWayland, under sway) would tile it as a normal window: there
// the window bypasses the manager (override-redirect) and stays where it is put. Click-through
// empties the window's input shape. Whether a compositing manager runs is followed through the
// owner of the _NET_WM_CM_S<n> selection.
class X11PanelWindowSupport final : public PanelWindowSupport {
    Q_OBJECT
public:
    explicit X11PanelWindowSupport(QObject *parent = nullptr);
    ~X11PanelWindowSupport() override;

    void prepare(QWidget &panel) override;
    void setClickThrough(QWidget &panel, bool clickThrough) override;
    void setInputRegion(QWidget &panel, const QRegion &region) override;
    bool needsShapeMask() const override { return !m_compositor.isOwned(); }

private:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void markWindow(std::uint32_t window);
    std::uint32_t atom(const char *name) const;

    xcb_connection_t *m_connection = nullptr;
    X11SelectionOwner m_compositor;
};
