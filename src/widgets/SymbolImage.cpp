#include "widgets/SymbolImage.h"

#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QtMath>

#include <map>

namespace {

// Symbols are laid out on a 24 x 24 grid: outlines are stroked with one pen width, solid parts
// are filled, both in the one colour.
constexpr double gridSize = 24.0;
constexpr double strokeWidth = 1.8;

struct Shape {
    QPainterPath stroked;
    QPainterPath filled;
};

QPointF polar(QPointF centre, double radius, double degrees)
{
    const double radians = qDegreesToRadians(degrees);
    return centre + QPointF(radius * std::cos(radians), radius * std::sin(radians));
}

// A cog wheel with a round hole, as one path filled with the odd-even rule.
QPainterPath gear(QPointF centre, double outerRadius, int teeth, double rotation)
{
    const double innerRadius = outerRadius * 0.74;
    const double pitch = 360.0 / teeth;
    QPainterPath path;
    for (int i = 0; i < teeth; ++i) {
        const double angle = rotation + i * pitch;
        const QPointF base = polar(centre, innerRadius, angle - pitch * 0.32);
        if (i == 0)
            path.moveTo(base);
        else
            path.lineTo(base);
        path.lineTo(polar(centre, outerRadius, angle - pitch * 0.18));
        path.lineTo(polar(centre, outerRadius, angle + pitch * 0.18));
        path.lineTo(polar(centre, innerRadius, angle + pitch * 0.32));
    }
    path.closeSubpath();
    const double hole = outerRadius * 0.34;
    path.addEllipse(centre, hole, hole);
    path.setFillRule(Qt::OddEvenFill);
    return path;
}

Shape statusPanel()
{
    Shape shape;
    shape.stroked.addRoundedRect(QRectF(2, 4, 20, 16), 3, 3);
    shape.filled.addRoundedRect(QRectF(5, 7, 14, 4), 1.5, 1.5);
    return shape;
}

Shape oneGear()
{
    return { {}, gear(QPointF(12, 12), 10, 8, 0) };
}

Shape twoGears()
{
    Shape shape;
    shape.filled = gear(QPointF(9, 14.5), 7.5, 8, 0);
    shape.filled.addPath(gear(QPointF(18.5, 6), 4.6, 6, 15));
    return shape;
}

Shape bell()
{
    QPainterPath body;
    body.moveTo(3.5, 18);
    body.lineTo(20.5, 18);
    body.lineTo(18.2, 15);
    body.lineTo(18.2, 10.5);
    body.cubicTo(18.2, 6.8, 15.5, 4.4, 12, 4.4);
    body.cubicTo(8.5, 4.4, 5.8, 6.8, 5.8, 10.5);
    body.lineTo(5.8, 15);
    body.closeSubpath();
    body.addEllipse(QPointF(12, 2.9), 1.4, 1.4);
    body.moveTo(9.4, 19.2);
    body.arcTo(QRectF(9.4, 16.6, 5.2, 5.2), 180, 180);
    body.closeSubpath();
    body.setFillRule(Qt::WindingFill);
    return { {}, body };
}

Shape pullRequest()
{
    QPainterPath path;
    path.addEllipse(QPointF(6, 5), 2.3, 2.3);
    path.addEllipse(QPointF(6, 19), 2.3, 2.3);
    path.moveTo(6, 7.3);
    path.lineTo(6, 16.7);
    path.addEllipse(QPointF(18, 19), 2.3, 2.3);
    path.moveTo(18, 16.7);
    path.lineTo(18, 10);
    path.quadTo(18, 6, 14, 6);
    path.lineTo(10.5, 6);
    path.moveTo(13.2, 3.3);
    path.lineTo(10.5, 6);
    path.lineTo(13.2, 8.7);
    return { path, {} };
}

Shape shippingBox()
{
    QPainterPath path;
    path.moveTo(12, 2.5);
    path.lineTo(21, 7);
    path.lineTo(21, 17);
    path.lineTo(12, 21.5);
    path.lineTo(3, 17);
    path.lineTo(3, 7);
    path.closeSubpath();
    path.moveTo(3, 7);
    path.lineTo(12, 11.5);
    path.lineTo(21, 7);
    path.moveTo(12, 11.5);
    path.lineTo(12, 21.5);
    path.moveTo(7.5, 4.75);
    path.lineTo(16.5, 9.25);
    return { path, {} };
}

Shape downloadCircle()
{
    QPainterPath path;
    path.addEllipse(QPointF(12, 12), 9.6, 9.6);
    path.moveTo(12, 6.8);
    path.lineTo(12, 16.6);
    path.moveTo(8, 12.6);
    path.lineTo(12, 16.6);
    path.lineTo(16, 12.6);
    return { path, {} };
}

Shape magnifyingGlass()
{
    QPainterPath path;
    path.addEllipse(QPointF(10, 10), 6.5, 6.5);
    path.moveTo(14.8, 14.8);
    path.lineTo(20.8, 20.8);
    return { path, {} };
}

// A person's head and shoulders with a key beside them: the account the token belongs to.
Shape personWithKey()
{
    QPainterPath path;
    path.addEllipse(QPointF(9.5, 7.5), 3.8, 3.8);
    path.moveTo(3, 20.5);
    path.cubicTo(3, 15.8, 5.8, 13.5, 9.5, 13.5);
    path.cubicTo(10.9, 13.5, 12.1, 13.8, 13.1, 14.4);
    path.addEllipse(QPointF(18, 11.5), 2.8, 2.8);
    path.moveTo(18, 14.3);
    path.lineTo(18, 21.5);
    path.moveTo(18, 18.2);
    path.lineTo(20.2, 18.2);
    path.moveTo(18, 21.5);
    path.lineTo(19.8, 21.5);
    return { path, {} };
}

using Builder = Shape (*)();

const std::map<QString, Builder> &builders()
{
    static const std::map<QString, Builder> table {
        { QStringLiteral("rectangle.topthird.inset.filled"), statusPanel },
        { QStringLiteral("gearshape"), oneGear },
        { QStringLiteral("gearshape.2"), twoGears },
        { QStringLiteral("bell"), bell },
        { QStringLiteral("arrow.triangle.pull"), pullRequest },
        { QStringLiteral("shippingbox"), shippingBox },
        { QStringLiteral("arrow.down.circle"), downloadCircle },
        { QStringLiteral("magnifyingglass"), magnifyingGlass },
        { QStringLiteral("person.badge.key"), personWithKey },
    };
    return table;
}

// Paints the symbol at whatever size and device pixel ratio Qt asks for; disabled icons are
// drawn faded in the same colour.
class SymbolIconEngine final : public QIconEngine {
public:
    SymbolIconEngine(QString name, QColor color)
        : m_name(std::move(name))
        , m_color(color)
    { }

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State) override
    {
        QColor color = m_color;
        if (mode == QIcon::Disabled)
            color.setAlphaF(color.alphaF() * 0.4f);
        SymbolImage::paint(*painter, rect, m_name, color);
    }

    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        QPixmap pixmap(size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        paint(&painter, QRect(QPoint(0, 0), size), mode, state);
        return pixmap;
    }

    // Hosts that ask for a list of sizes (tray protocols) get the usual panel sizes.
    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override
    {
        return { QSize(16, 16), QSize(22, 22), QSize(24, 24), QSize(32, 32), QSize(48, 48), QSize(64, 64) };
    }

    QIconEngine *clone() const override { return new SymbolIconEngine(m_name, m_color); }
    QString key() const override { return QStringLiteral("tarnlet-symbol"); }
    QString iconName() override { return m_name; }

private:
    QString m_name;
    QColor m_color;
};

} // namespace

QStringList SymbolImage::names()
{
    QStringList list;
    for (const auto &entry : builders())
        list << entry.first;
    return list;
}

bool SymbolImage::contains(const QString &name)
{
    return builders().contains(name);
}

void SymbolImage::paint(QPainter &painter, const QRectF &rect, const QString &name, const QColor &color)
{
    const auto found = builders().find(name);
    if (found == builders().end() || rect.isEmpty())
        return;
    const Shape shape = found->second();

    const double side = std::min(rect.width(), rect.height());
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(rect.center() - QPointF(side / 2, side / 2));
    painter.scale(side / gridSize, side / gridSize);
    if (!shape.filled.isEmpty())
        painter.fillPath(shape.filled, color);
    if (!shape.stroked.isEmpty())
        painter.strokePath(shape.stroked, QPen(color, strokeWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.restore();
}

QIcon SymbolImage::icon(const QString &name, const QColor &color)
{
    if (!contains(name))
        return {};
    return QIcon(new SymbolIconEngine(name, color));
}
