#include "notch/NotchPainter.h"

#include "notch/NotchGeometry.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>

namespace {

constexpr double dotSize = 8;
constexpr double compactSpacing = 8;
constexpr double compactPadding = 16;
constexpr double expandedSide = 18;
constexpr double expandedTopGap = 10; // below the notch band
constexpr double stackSpacing = 8;
constexpr double rowSpacing = 10;
constexpr double rowPaddingX = 14;
constexpr double rowRadius = 14;
constexpr double lineSpacing = 2;
constexpr double subtitleOpacity = 0.5;
constexpr double markSize = 24; // the check mark's round target at a row's end

QFont systemFont(int pixelSize, QFont::Weight weight)
{
    QFont font;
    font.setPixelSize(pixelSize);
    font.setWeight(weight);
    return font;
}

QStaticText staticText(const QString &text, const QFont &font, double maxWidth)
{
    QStaticText result(QFontMetricsF(font).elidedText(text, Qt::ElideRight, std::max(0.0, maxWidth)));
    result.setTextFormat(Qt::PlainText);
    result.prepare(QTransform(), font);
    return result;
}

double lerp(double from, double to, double t)
{
    return from + (to - from) * t;
}

QColor white(double opacity)
{
    return Color::white().withOpacity(opacity).toQColor();
}

void paintDot(QPainter &painter, QPointF centre, const QColor &color)
{
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    painter.drawEllipse(centre, dotSize / 2, dotSize / 2);
}

// A faint round target with a check mark in it.
void paintCheckMark(QPainter &painter, const QRectF &box)
{
    painter.setPen(Qt::NoPen);
    painter.setBrush(white(0.1));
    painter.drawEllipse(box);
    QPainterPath tick;
    tick.moveTo(box.left() + box.width() * 0.3, box.top() + box.height() * 0.52);
    tick.lineTo(box.left() + box.width() * 0.44, box.top() + box.height() * 0.66);
    tick.lineTo(box.left() + box.width() * 0.7, box.top() + box.height() * 0.36);
    painter.setPen(QPen(white(0.7), 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(tick);
}

// The left edge of a box `size` wide centred in an area `width` wide.
double centredLeft(double width, double size)
{
    return (width - size) / 2;
}

} // namespace

NotchPainter::NotchPainter(QSizeF collapsedSize)
    : m_collapsedSize(collapsedSize)
    , m_statusFont(systemFont(12, QFont::Medium))
    , m_headerFont(systemFont(12, QFont::DemiBold))
    , m_titleFont(systemFont(13, QFont::Medium))
    , m_subtitleFont(systemFont(11, QFont::Normal))
{
    const double contentWidth = NotchGeometry::expandedWidth - 2 * expandedSide;
    m_headerText = staticText(QStringLiteral("Tarnlet"), m_headerFont, contentWidth);
}

QSizeF NotchPainter::expandedSize() const
{
    return NotchGeometry::expandedSize(m_rows.size());
}

void NotchPainter::setStatus(const QString &text, Color color, const QString &detail)
{
    m_statusColor = color;
    m_statusDetail = staticText(detail, m_subtitleFont, m_collapsedSize.width());
    double width = m_collapsedSize.width() - 2 * compactPadding - dotSize - compactSpacing;
    if (!detail.isEmpty())
        width -= m_statusDetail.size().width() + compactSpacing;
    m_statusText = staticText(text, m_statusFont, width);
}

void NotchPainter::setRows(const QList<ModuleRow> &rows, const QDateTime &agesAt)
{
    const double contentWidth = NotchGeometry::expandedWidth - 2 * expandedSide;
    const double fullWidth = contentWidth - 2 * rowPaddingX - dotSize - rowSpacing;
    m_rows.clear();
    for (const ModuleRow &row : rows) {
        const bool secondary = row.actions.hasSecondary();
        const double textWidth = secondary ? fullWidth - markSize - rowSpacing : fullWidth;
        m_rows.append({ row.color(), staticText(row.title, m_titleFont, textWidth),
            staticText(row.subtitle(agesAt), m_subtitleFont, textWidth), secondary });
    }
}

QRectF NotchPainter::headerRect(double width) const
{
    const QSizeF expanded = expandedSize();
    return QRectF(centredLeft(width, expanded.width()) + expandedSide, m_collapsedSize.height() + expandedTopGap,
        expanded.width() - 2 * expandedSide, QFontMetricsF(m_headerFont).height());
}

QRectF NotchPainter::rowRect(double width, int index) const
{
    const QRectF header = headerRect(width);
    return QRectF(header.left(), header.bottom() + stackSpacing + index * NotchGeometry::rowPitch, header.width(),
        NotchGeometry::rowHeight);
}

QRectF NotchPainter::secondaryRect(double width, int index) const
{
    if (index < 0 || index >= m_rows.size() || !m_rows[index].secondary)
        return {};
    const QRectF row = rowRect(width, index);
    return QRectF(row.right() - rowPaddingX - markSize, row.center().y() - markSize / 2, markSize, markSize);
}

QPainterPath NotchPainter::shape(double width, double progress) const
{
    const QSizeF expanded = expandedSize();
    const double w = lerp(m_collapsedSize.width(), expanded.width(), progress);
    const double h = lerp(m_collapsedSize.height(), expanded.height(), progress);
    const double r = std::clamp(lerp(collapsedRadius, expandedRadius, progress), 0.0, std::min(w / 2, h));
    const QRectF box(centredLeft(width, w), 0, w, h);

    QPainterPath path;
    path.moveTo(box.topLeft());
    path.lineTo(box.topRight());
    path.lineTo(box.right(), box.bottom() - r);
    path.arcTo(QRectF(box.right() - 2 * r, box.bottom() - 2 * r, 2 * r, 2 * r), 0, -90);
    path.lineTo(box.left() + r, box.bottom());
    path.arcTo(QRectF(box.left(), box.bottom() - 2 * r, 2 * r, 2 * r), 270, -90);
    path.closeSubpath();
    return path;
}

void NotchPainter::paint(QPainter &painter, double width, double progress) const
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const QPainterPath outline = shape(width, progress);
    painter.fillPath(outline, Qt::black);
    // Contents stay inside the shape while it grows or shrinks around them.
    painter.setClipPath(outline);
    const double t = std::clamp(progress, 0.0, 1.0);
    if (t < 1) {
        painter.setOpacity(1 - t);
        paintCompact(painter, width);
    }
    if (t > 0) {
        painter.setOpacity(t);
        paintExpanded(painter, width);
    }
    painter.restore();
}

void NotchPainter::paintCompact(QPainter &painter, double width) const
{
    const QPointF centre = QRectF(QPointF(centredLeft(width, m_collapsedSize.width()), 0), m_collapsedSize).center();
    const QSizeF text = m_statusText.size();
    const QSizeF detail = m_statusDetail.size();
    double lineWidth = dotSize + compactSpacing + text.width();
    if (!m_statusDetail.text().isEmpty())
        lineWidth += compactSpacing + detail.width();
    const double left = centre.x() - lineWidth / 2;
    paintDot(painter, QPointF(left + dotSize / 2, centre.y()), m_statusColor.toQColor());
    const double textLeft = left + dotSize + compactSpacing;
    painter.setFont(m_statusFont);
    painter.setPen(Qt::white);
    painter.drawStaticText(QPointF(textLeft, centre.y() - text.height() / 2), m_statusText);
    if (m_statusDetail.text().isEmpty())
        return;
    painter.setFont(m_subtitleFont);
    painter.setPen(white(subtitleOpacity));
    painter.drawStaticText(
        QPointF(textLeft + text.width() + compactSpacing, centre.y() - detail.height() / 2), m_statusDetail);
}

void NotchPainter::paintExpanded(QPainter &painter, double width) const
{
    const QRectF header = headerRect(width);
    painter.setFont(m_headerFont);
    painter.setPen(white(0.55));
    painter.drawStaticText(header.topLeft(), m_headerText);

    const double titleHeight = QFontMetricsF(m_titleFont).height();
    const double subtitleHeight = QFontMetricsF(m_subtitleFont).height();
    for (qsizetype i = 0; i < m_rows.size(); ++i) {
        const Row &entry = m_rows[i];
        const QRectF row = rowRect(width, int(i));
        painter.setPen(Qt::NoPen);
        painter.setBrush(white(0.06));
        painter.drawRoundedRect(row, rowRadius, rowRadius);
        paintDot(painter, QPointF(row.left() + rowPaddingX + dotSize / 2, row.center().y()), entry.color.toQColor());

        const double textLeft = row.left() + rowPaddingX + dotSize + rowSpacing;
        // A row without a second line ("+N weitere") centres its title.
        const bool twoLines = !entry.subtitle.text().isEmpty();
        const double textHeight = twoLines ? titleHeight + lineSpacing + subtitleHeight : titleHeight;
        const double top = row.center().y() - textHeight / 2;
        painter.setFont(m_titleFont);
        painter.setPen(Qt::white);
        painter.drawStaticText(QPointF(textLeft, top), entry.title);
        if (entry.secondary)
            paintCheckMark(painter, secondaryRect(width, int(i)));
        if (!twoLines)
            continue;
        painter.setFont(m_subtitleFont);
        painter.setPen(white(subtitleOpacity));
        painter.drawStaticText(QPointF(textLeft, top + titleHeight + lineSpacing), entry.subtitle);
    }
}
