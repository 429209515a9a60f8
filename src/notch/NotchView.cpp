#include "notch/NotchView.h"

#include "notch/NotchAccessibility.h"
#include "notch/NotchModel.h"
#include "platform/ReduceMotion.h"

#include <QAccessible>
#include <QPainter>

NotchView::NotchView(
    NotchModel &model, const LinkGate &links, QSizeF collapsedSize, const ReduceMotion &reduceMotion, QWidget *parent)
    : QWidget(parent)
    , m_model(model)
    , m_links(links)
    , m_reduceMotion(reduceMotion)
    , m_painter(collapsedSize)
    , m_animation(Spring(0.42, 0.74))
{
    NotchAccessibility::install();
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    m_animation.moveTo(model.isExpanded() ? 1 : 0, true);
    connect(&m_model, &NotchModel::changed, this, &NotchView::modelChanged);
    connect(&m_model, &NotchModel::statusAssigned, this, [this] { NotchAccessibility::announceStatus(*this); });
    connect(&m_animation, &SpringAnimation::valueChanged, this, [this] {
        update();
        Q_EMIT shapeChanged();
    });
    updatePainter();
}

void NotchView::modelChanged()
{
    const bool rowCountChanged = m_model.rows().size() != m_painter.rowCount();
    // Before the animation moves: a state reached at once announces its shape right away.
    updatePainter();
    const double target = m_model.isExpanded() ? 1 : 0;
    if (target != m_animation.spring().target()) {
        m_animation.moveTo(target, m_reduceMotion.isOn());
        NotchAccessibility::childrenChanged(*this);
    } else if (m_model.isExpanded() && rowCountChanged) {
        NotchAccessibility::childrenChanged(*this);
    }
    update();
}

QString NotchView::pauseMark(NotchModel::Pause pause)
{
    switch (pause) {
    case NotchModel::Pause::ByUser:
        return tr("pausiert");
    case NotchModel::Pause::ByDesktop:
        return tr("Nicht stören");
    case NotchModel::Pause::None:
        break;
    }
    return {};
}

void NotchView::updatePainter()
{
    m_painter.setStatus(m_model.statusText(), m_model.statusColor(), pauseMark(m_model.pause()));
    m_painter.setRows(m_model.rows(), m_model.agesAt());
}

void NotchView::resizeEvent(QResizeEvent *)
{
    Q_EMIT shapeChanged();
}

QSizeF NotchView::expandedSize() const
{
    return m_painter.expandedSize();
}

QRectF NotchView::headerRect() const
{
    return m_painter.headerRect(width());
}

QRectF NotchView::rowRect(int index) const
{
    return m_painter.rowRect(width(), index);
}

QRectF NotchView::secondaryRect(int index) const
{
    return m_painter.secondaryRect(width(), index);
}

int NotchView::rowAt(QPointF point) const
{
    for (int i = 0; i < int(m_painter.rowCount()); ++i) {
        if (rowRect(i).contains(point))
            return i;
    }
    return -1;
}

QPainterPath NotchView::shape() const
{
    return m_painter.shape(width(), progress());
}

void NotchView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    paint(painter);
}

void NotchView::paint(QPainter &painter)
{
    m_painter.paint(painter, width(), progress());
}
