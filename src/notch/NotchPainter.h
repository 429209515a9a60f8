#pragma once

#include "core/Color.h"
#include "core/ModuleRow.h"

#include <QFont>
#include <QList>
#include <QPainterPath>
#include <QSizeF>
#include <QStaticText>

class QPainter;

// Draws the overlay's picture: a black shape with square top corners hanging from the top centre
// of an area, the status line while collapsed, the header and rows while open (a row with a
// second action ends in a small check mark that stands for it), and the fade between the two. The
// overlay and the settings window's preview both paint through it. Texts are laid out when they
// are set, so a frame only draws.
class NotchPainter final {
public:
    static constexpr double collapsedRadius = 18;
    static constexpr double expandedRadius = 34;

    explicit NotchPainter(QSizeF collapsedSize);

    QSizeF collapsedSize() const { return m_collapsedSize; }
    // The open shape for the rows set last.
    QSizeF expandedSize() const;
    qsizetype rowCount() const { return m_rows.size(); }

    // The collapsed line: a dot in `color` and the text, then `detail` dimmed where one is given.
    void setStatus(const QString &text, Color color, const QString &detail = {});
    void setRows(const QList<ModuleRow> &rows, const QDateTime &agesAt);

    // In an area `width` wide; progress is 0 collapsed and 1 open, and swings slightly past
    // either end while a spring moves.
    QPainterPath shape(double width, double progress) const;
    QRectF headerRect(double width) const;
    QRectF rowRect(double width, int index) const;
    // The check mark at the end of row `index` that stands for its second action; empty for a row
    // without one.
    QRectF secondaryRect(double width, int index) const;
    void paint(QPainter &painter, double width, double progress) const;

private:
    struct Row {
        Color color;
        QStaticText title;
        QStaticText subtitle;
        bool secondary = false;
    };

    void paintCompact(QPainter &painter, double width) const;
    void paintExpanded(QPainter &painter, double width) const;

    const QSizeF m_collapsedSize;
    QFont m_statusFont;
    QFont m_headerFont;
    QFont m_titleFont;
    QFont m_subtitleFont;
    Color m_statusColor = Color::gray();
    QStaticText m_statusText;
    QStaticText m_statusDetail;
    QStaticText m_headerText;
    QList<Row> m_rows;
};
