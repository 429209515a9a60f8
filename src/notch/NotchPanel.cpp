#include "notch/NotchPanel.h"

#include <QContextMenuEvent>

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
    connect(view, &NotchView::shapeChanged, this, &NotchPanel::shapeChanged);
    shapeChanged();
}

void NotchPanel::setFrame(const QRect &frame)
{
    setGeometry(frame);
    repaint();
}

void NotchPanel::setClickThrough(bool clickThrough)
{
    m_clickThrough = clickThrough;
    updateInput();
}

void NotchPanel::setInputOnShape(bool inputOnShape)
{
    m_inputOnShape = inputOnShape;
    updateInput();
}

void NotchPanel::updateInput()
{
    if (m_clickThrough && m_inputOnShape && m_view)
        m_windowSupport.setInputRegion(*this, shapeRegion());
    else
        m_windowSupport.setClickThrough(*this, m_clickThrough);
}

void NotchPanel::setSuppressed(bool suppressed)
{
    m_suppressed = suppressed;
    QWidget::setVisible(m_wantsVisible && !suppressed);
}

void NotchPanel::setVisible(bool visible)
{
    m_wantsVisible = visible;
    QWidget::setVisible(visible && !m_suppressed);
}

void NotchPanel::resizeEvent(QResizeEvent *)
{
    if (m_view)
        m_view->setGeometry(rect());
}

void NotchPanel::shapeChanged()
{
    updateMask();
    if (m_clickThrough && m_inputOnShape)
        updateInput();
}

QRegion NotchPanel::shapeRegion() const
{
    return QRegion(m_view->shape().toFillPolygon().toPolygon());
}

void NotchPanel::updateMask()
{
    if (!m_view || !m_windowSupport.needsShapeMask()) {
        clearMask();
        return;
    }
    setMask(shapeRegion());
}

void NotchPanel::contextMenuEvent(QContextMenuEvent *event)
{
    // The menu key has no pointer position: the menu then hangs below the panel's top centre.
    const QPoint position
        = event->reason() == QContextMenuEvent::Keyboard ? mapToGlobal(QPoint(width() / 2, 0)) : event->globalPos();
    Q_EMIT menuRequested(position);
    event->accept();
}
