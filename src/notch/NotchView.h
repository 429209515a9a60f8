#pragma once

#include "notch/SpringAnimation.h"

#include <QFont>
#include <QList>
#include <QPainterPath>
#include <QStaticText>
#include <QWidget>

class NotchModel;
class ReduceMotion;

// Draws the overlay: a black shape with square top corners at the top centre, the status line
// while collapsed, the header and rows while expanded, as tall as its rows need. Follows the
// model, springs between the two states (or switches at once when the desktop asks for less
// motion), handles no input.
class NotchView final : public QWidget {
    Q_OBJECT
public:
    static constexpr double collapsedRadius = 18;
    static constexpr double expandedRadius = 34;

    NotchView(NotchModel &model, QSizeF collapsedSize, const ReduceMotion &reduceMotion, QWidget *parent = nullptr);

    const NotchModel &model() const { return m_model; }
    QSizeF collapsedSize() const { return m_collapsedSize; }
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

    void paint(QPainter &painter);

Q_SIGNALS:
    // The drawn shape changed (every animation frame).
    void shapeChanged();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    struct RowText {
        QStaticText title;
        QStaticText subtitle;
    };

    void modelChanged();
    void relayoutTexts();
    void paintCompact(QPainter &painter) const;
    void paintExpanded(QPainter &painter) const;
    QRectF compactFrame() const;
    QRectF expandedFrame() const;

    NotchModel &m_model;
    const ReduceMotion &m_reduceMotion;
    const QSizeF m_collapsedSize;
    SpringAnimation m_animation;

    QFont m_statusFont;
    QFont m_headerFont;
    QFont m_titleFont;
    QFont m_subtitleFont;
    QStaticText m_statusText;
    QStaticText m_headerText;
    QList<RowText> m_rowTexts;
};
