#pragma once

#include "notch/NotchModel.h"
#include "notch/NotchPainter.h"
#include "notch/SpringAnimation.h"

#include <QPainterPath>
#include <QWidget>

class LinkGate;
class ReduceMotion;

// Shows the overlay: follows the model, hands it to the NotchPainter that draws it, springs
// between the collapsed and the open state (or switches at once when the desktop asks for less
// motion), handles no input.
class NotchView final : public QWidget {
    Q_OBJECT
public:
    NotchView(NotchModel &model, const LinkGate &links, QSizeF collapsedSize, const ReduceMotion &reduceMotion,
        QWidget *parent = nullptr);

    const NotchModel &model() const { return m_model; }
    // The pages a row may open.
    const LinkGate &links() const { return m_links; }
    QSizeF collapsedSize() const { return m_painter.collapsedSize(); }
    // The open shape for the model's rows now.
    QSizeF expandedSize() const;

    // 0 collapsed, 1 expanded; swings slightly past either end while the spring moves.
    double progress() const { return m_animation.value(); }
    SpringAnimation &animation() { return m_animation; }
    // The black shape as drawn now, in the view's coordinates.
    QPainterPath shape() const;

    // Layout of the expanded content, in the view's coordinates.
    QRectF headerRect() const;
    QRectF rowRect(int index) const;
    // The row under `point`, or -1.
    int rowAt(QPointF point) const;
    // The mark standing for row `index`'s second action; empty when it has none.
    QRectF secondaryRect(int index) const;

    void paint(QPainter &painter);

Q_SIGNALS:
    // The drawn shape changed (every animation frame).
    void shapeChanged();
    // A screen reader pressed a row naming the settings pane that resolves it.
    void paneRequested(const QString &pane);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void modelChanged();
    void updatePainter();
    // The small word beside the collapsed line while news is paused.
    static QString pauseMark(NotchModel::Pause pause);

    NotchModel &m_model;
    const LinkGate &m_links;
    const ReduceMotion &m_reduceMotion;
    NotchPainter m_painter;
    SpringAnimation m_animation;
};
