#pragma once

#include <QAbstractSlider>

#include <functional>

// A horizontal slider over a fixed grid of values (minimum, minimum + step, ..., maximum): the
// knob can only rest on a grid point, by pointer or keys (arrows one step, Page Up/Down two,
// Home/End the ends). Painted as a thin track tinted blue up to a round knob.
class SteppedSlider final : public QAbstractSlider {
    Q_OBJECT
public:
    SteppedSlider(double minimum, double maximum, double step, QWidget *parent = nullptr);

    double minimumValue() const { return m_minimum; }
    double maximumValue() const { return m_maximum; }
    double step() const { return m_step; }

    double gridValue() const;
    // Moves the knob to the grid point nearest to `value`, within the range. Emits valueChanged
    // when the knob moves.
    void setGridValue(double value);

    // The value as a screen reader should speak it ("3,5 Sekunden").
    void setValueText(std::function<QString(double)> valueText) { m_valueText = std::move(valueText); }
    QString valueText() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QRectF trackRect() const;
    int positionToIndex(double x) const;

    double m_minimum;
    double m_maximum;
    double m_step;
    std::function<QString(double)> m_valueText;
};
