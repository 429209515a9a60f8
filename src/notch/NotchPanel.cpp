#include "notch/NotchPanel.h"

#include "notch/NotchView.h"
#include "platform/PanelWindowSupport.h"

#include <QRegion>

NotchPanel::NotchPanel(const QRect &frame, PanelWindowSupport &windowSupport)
    : m_windowSupport(windowSupport)
{
    setWindowTitle(QStringLiteral("Tarnlet"));
    m_windowSupport.prepare(*this);
    setGeometry(frame);
    connect(&m_windowSupport, &PanelWindowSupport::needsShapeMaskChanged, this, &NotchPanel::updateMask);
}

void NotchPanel::setContent(NotchView *view)
{
    delete m_view;
    m_view = view;
    view->setParent(this);
    view->setGeometry(rect());
    view->show();
    connect(view, &NotchView::shapeChanged, this, &NotchPanel::updateMask);
    updateMask();
}

void NotchPanel::setFrame(const QRect &frame)
{
    setGeometry(frame);
    repaint();
}

void NotchPanel::setClickThrough(bool clickThrough)
{
    m_clickThrough = clickThrough;
    m_windowSupport.setClickThrough(*this, clickThrough);
}

void NotchPanel::resizeEvent(QResizeEvent *)
{
    if (m_view)
        m_view->setGeometry(rect());
}

void NotchPanel::updateMask()
{
    if (!m_view || !m_windowSupport.needsShapeMask()) {
        clearMask();
        return;
    }
    setMask(QRegion(m_view->shape().toFillPolygon().toPolygon()));
}
