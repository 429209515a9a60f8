#include "notch/NotchView.h"

#include "notch/NotchAccessibility.h"
#include "notch/NotchGeometry.h"
#include "notch/NotchModel.h"
#include "platform/ReduceMotion.h"

#include <QAccessible>
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

} // namespace

NotchView::NotchView(NotchModel &model, QSizeF collapsedSize, const ReduceMotion &reduceMotion, QWidget *parent)
    : QWidget(parent)
    , m_model(model)
    , m_reduceMotion(reduceMotion)
    , m_collapsedSize(collapsedSize)
    , m_animation(Spring(0.42, 0.74))
    , m_statusFont(systemFont(12, QFont::Medium))
    , m_headerFont(systemFont(12, QFont::DemiBold))
    , m_titleFont(systemFont(13, QFont::Medium))
    , m_subtitleFont(systemFont(11, QFont::Normal))
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
    relayoutTexts();
}

void NotchView::modelChanged()
{
    const double target = m_model.isExpanded() ? 1 : 0;
    if (target != m_animation.spring().target()) {
        m_animation.moveTo(target, m_reduceMotion.isOn());
        NotchAccessibility::childrenChanged(*this);
    } else if (m_model.isExpanded() && m_model.rows().size() != m_rowTexts.size()) {
        NotchAccessibility::childrenChanged(*this);
    }
    relayoutTexts();
    update();
}

void NotchView::resizeEvent(QResizeEvent *)
{
    Q_EMIT shapeChanged();
}

void NotchView::relayoutTexts()
{
    const double statusWidth = m_collapsedSize.width() - 2 * compactPadding - dotSize - compactSpacing;
    m_statusText = staticText(m_model.statusText(), m_statusFont, statusWidth);
    const double contentWidth = NotchGeometry::expandedWidth - 2 * expandedSide;
    m_headerText = staticText(QStringLiteral("Tarnlet"), m_headerFont, contentWidth);
    const double rowTextWidth = contentWidth - 2 * rowPaddingX - dotSize - rowSpacing;
    m_rowTexts.clear();
    for (const ModuleRow &row : m_model.rows())
        m_rowTexts.append({ staticText(row.title, m_titleFont, rowTextWidth),
            staticText(row.subtitle(m_model.agesAt()), m_subtitleFont, rowTextWidth) });
}

QRectF NotchView::compactFrame() const
{
    return QRectF((width() - m_collapsedSize.width()) / 2, 0, m_collapsedSize.width(), m_collapsedSize.height());
}

QSizeF NotchView::expandedSize() const
{
    return NotchGeometry::expandedSize(m_model.rows().size());
}

QRectF NotchView::expandedFrame() const
{
    const QSizeF size = expandedSize();
    return QRectF((width() - size.width()) / 2, 0, size.width(), size.height());
}

QRectF NotchView::headerRect() const
{
    const QRectF frame = expandedFrame();
    return QRectF(frame.left() + expandedSide, m_collapsedSize.height() + expandedTopGap,
        frame.width() - 2 * expandedSide, QFontMetricsF(m_headerFont).height());
}

QRectF NotchView::rowRect(int index) const
{
    const QRectF header = headerRect();
    return QRectF(header.left(), header.bottom() + stackSpacing + index * NotchGeometry::rowPitch, header.width(),
        NotchGeometry::rowHeight);
}

int NotchView::rowAt(QPointF point) const
{
    for (int i = 0; i < int(m_model.rows().size()); ++i) {
        if (rowRect(i).contains(point))
            return i;
    }
    return -1;
}

QPainterPath NotchView::shape() const
{
    const double t = progress();
    const QSizeF expanded = expandedSize();
    const double w = lerp(m_collapsedSize.width(), expanded.width(), t);
    const double h = lerp(m_collapsedSize.height(), expanded.height(), t);
    const double r = std::clamp(lerp(collapsedRadius, expandedRadius, t), 0.0, std::min(w / 2, h));
    const QRectF box((width() - w) / 2, 0, w, h);

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

void NotchView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    paint(painter);
}

void NotchView::paint(QPainter &painter)
{
    painter.setRenderHint(QPainter::Antialiasing);
    const QPainterPath outline = shape();
    painter.fillPath(outline, Qt::black);
    // Contents stay inside the shape while it grows or shrinks around them.
    painter.setClipPath(outline);
    const double t = std::clamp(progress(), 0.0, 1.0);
    if (t < 1) {
        painter.setOpacity(1 - t);
        paintCompact(painter);
    }
    if (t > 0) {
        painter.setOpacity(t);
        paintExpanded(painter);
    }
}

void NotchView::paintCompact(QPainter &painter) const
{
    const QRectF frame = compactFrame();
    const QSizeF text = m_statusText.size();
    const double rowWidth = dotSize + compactSpacing + text.width();
    const double left = frame.center().x() - rowWidth / 2;
    paintDot(painter, QPointF(left + dotSize / 2, frame.center().y()), m_model.statusColor().toQColor());
    painter.setFont(m_statusFont);
    painter.setPen(Qt::white);
    painter.drawStaticText(
        QPointF(left + dotSize + compactSpacing, frame.center().y() - text.height() / 2), m_statusText);
}

void NotchView::paintExpanded(QPainter &painter) const
{
    const QRectF header = headerRect();
    painter.setFont(m_headerFont);
    painter.setPen(white(0.55));
    painter.drawStaticText(header.topLeft(), m_headerText);

    const QList<ModuleRow> &rows = m_model.rows();
    const double titleHeight = QFontMetricsF(m_titleFont).height();
    const double subtitleHeight = QFontMetricsF(m_subtitleFont).height();
    for (qsizetype i = 0; i < rows.size() && i < m_rowTexts.size(); ++i) {
        const QRectF row = rowRect(int(i));
        painter.setPen(Qt::NoPen);
        painter.setBrush(white(0.06));
        painter.drawRoundedRect(row, rowRadius, rowRadius);
        paintDot(painter, QPointF(row.left() + rowPaddingX + dotSize / 2, row.center().y()), rows[i].color.toQColor());

        const double textLeft = row.left() + rowPaddingX + dotSize + rowSpacing;
        // A row without a second line ("+N weitere") centres its title.
        const bool twoLines = !m_rowTexts[i].subtitle.text().isEmpty();
        const double textHeight = twoLines ? titleHeight + lineSpacing + subtitleHeight : titleHeight;
        const double top = row.center().y() - textHeight / 2;
        painter.setFont(m_titleFont);
        painter.setPen(Qt::white);
        painter.drawStaticText(QPointF(textLeft, top), m_rowTexts[i].title);
        if (!twoLines)
            continue;
        painter.setFont(m_subtitleFont);
        painter.setPen(white(0.5));
        painter.drawStaticText(QPointF(textLeft, top + titleHeight + lineSpacing), m_rowTexts[i].subtitle);
    }
}
