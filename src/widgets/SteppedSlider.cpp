#include "widgets/SteppedSlider.h"

#include "widgets/SettingsStyle.h"

#include <QMouseEvent>
#include <QPainter>

#include <cmath>

namespace {
constexpr double knobSize = 20;
}

SteppedSlider::SteppedSlider(double minimum, double maximum, double step, QWidget *parent)
    : QAbstractSlider(parent)
    , m_minimum(minimum)
    , m_maximum(maximum)
    , m_step(step)
{
    // The slider's own integer value is the index of the grid point, so no key or drag can
    // ever land between two points.
    setOrientation(Qt::Horizontal);
    setRange(0, int(std::lround((maximum - minimum) / step)));
    setSingleStep(1);
    setPageStep(2);
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

double SteppedSlider::gridValue() const
{
    return m_minimum + value() * m_step;
}

void SteppedSlider::setGridValue(double gridValue)
{
    if (!std::isfinite(gridValue))
        return;
    setValue(int(std::lround((std::clamp(gridValue, m_minimum, m_maximum) - m_minimum) / m_step)));
}

QString SteppedSlider::valueText() const
{
    return m_valueText ? m_valueText(gridValue()) : QString::number(gridValue());
}

QSize SteppedSlider::sizeHint() const
{
    return { 200, 28 };
}

QRectF SteppedSlider::trackRect() const
{
    // The knob's centre runs between the two ends of the track.
    return QRectF(knobSize / 2, height() / 2.0 - 2, width() - knobSize, 4);
}

int SteppedSlider::positionToIndex(double x) const
{
    const QRectF track = trackRect();
    const double share = track.width() > 0 ? (x - track.left()) / track.width() : 0;
    return int(std::lround(std::clamp(share, 0.0, 1.0) * maximum()));
}

void SteppedSlider::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    setSliderDown(true);
    setSliderPosition(positionToIndex(event->position().x()));
    triggerAction(SliderMove);
}

void SteppedSlider::mouseMoveEvent(QMouseEvent *event)
{
    if (!isSliderDown())
        return;
    setSliderPosition(positionToIndex(event->position().x()));
}

void SteppedSlider::mouseReleaseEvent(QMouseEvent *)
{
    setSliderDown(false);
}

void SteppedSlider::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (!isEnabled())
        painter.setOpacity(0.4);
    const QRectF track = trackRect();
    const double share = maximum() > 0 ? double(sliderPosition()) / maximum() : 0;
    const double knobX = track.left() + share * track.width();

    painter.setPen(Qt::NoPen);
    painter.setBrush(SettingsStyle::primary(*this, 0.14));
    painter.drawRoundedRect(track, 2, 2);
    painter.setBrush(SettingsStyle::tint());
    painter.drawRoundedRect(QRectF(track.left(), track.top(), knobX - track.left(), track.height()), 2, 2);

    const QRectF knob(knobX - knobSize / 2, height() / 2.0 - knobSize / 2, knobSize, knobSize);
    if (hasFocus()) {
        QColor ring = SettingsStyle::tint();
        ring.setAlphaF(0.45f);
        painter.setBrush(ring);
        painter.drawEllipse(knob.adjusted(-3, -3, 3, 3));
    }
    painter.setPen(QPen(QColor(0, 0, 0, 40), 0.5));
    painter.setBrush(Qt::white);
    painter.drawEllipse(knob.adjusted(0.5, 0.5, -0.5, -0.5));
}
