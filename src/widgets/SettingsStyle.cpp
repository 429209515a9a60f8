#include "widgets/SettingsStyle.h"

#include "core/Color.h"

#include <QPainter>
#include <QWidget>

namespace SettingsStyle {

Scheme schemeFor(const QString &appearance)
{
    if (appearance == u"light")
        return Scheme::Light;
    if (appearance == u"dark")
        return Scheme::Dark;
    return Scheme::System;
}

namespace {

QPalette schemePalette(const QColor &window, const QColor &base, const QColor &text, const QColor &button)
{
    QPalette palette;
    QColor dimmed = text;
    dimmed.setAlphaF(0.5f);
    QColor disabled = text;
    disabled.setAlphaF(0.3f);
    for (const auto group : { QPalette::Active, QPalette::Inactive, QPalette::Disabled }) {
        const bool off = group == QPalette::Disabled;
        palette.setColor(group, QPalette::Window, window);
        palette.setColor(group, QPalette::Base, base);
        palette.setColor(group, QPalette::AlternateBase, window);
        palette.setColor(group, QPalette::Button, button);
        palette.setColor(group, QPalette::WindowText, off ? disabled : text);
        palette.setColor(group, QPalette::Text, off ? disabled : text);
        palette.setColor(group, QPalette::ButtonText, off ? disabled : text);
        palette.setColor(group, QPalette::PlaceholderText, off ? disabled : dimmed);
        palette.setColor(group, QPalette::BrightText, Qt::white);
        palette.setColor(group, QPalette::Highlight, tint());
        palette.setColor(group, QPalette::HighlightedText, Qt::white);
        palette.setColor(group, QPalette::Link, tint());
        palette.setColor(group, QPalette::ToolTipBase, base);
        palette.setColor(group, QPalette::ToolTipText, text);
        palette.setColor(group, QPalette::Light, button.lighter(130));
        palette.setColor(group, QPalette::Midlight, button.lighter(115));
        palette.setColor(group, QPalette::Mid, button.darker(130));
        palette.setColor(group, QPalette::Dark, button.darker(160));
        palette.setColor(group, QPalette::Shadow, Qt::black);
    }
    return palette;
}

} // namespace

QPalette lightPalette()
{
    return schemePalette(QColor(0xEC, 0xEC, 0xEC), Qt::white, QColor(0x1D, 0x1D, 0x1F), QColor(0xF5, 0xF5, 0xF5));
}

QPalette darkPalette()
{
    return schemePalette(
        QColor(0x26, 0x26, 0x28), QColor(0x1E, 0x1E, 0x1E), QColor(0xF2, 0xF2, 0xF7), QColor(0x3A, 0x3A, 0x3C));
}

QColor primary(const QWidget &widget, double opacity)
{
    QColor color = widget.palette().color(QPalette::WindowText);
    color.setAlphaF(float(color.alphaF() * opacity));
    return color;
}

QColor secondary(const QWidget &widget)
{
    return widget.palette().color(QPalette::PlaceholderText);
}

QColor tint()
{
    return QColor(0x0A, 0x84, 0xFF);
}

QFont font(const QWidget &widget, int pixelSize, QFont::Weight weight)
{
    QFont result = widget.font();
    result.setPixelSize(pixelSize);
    result.setWeight(weight);
    return result;
}

void setFont(QWidget &widget, int pixelSize, QFont::Weight weight)
{
    widget.setFont(font(widget, pixelSize, weight));
}

void makeSecondary(QWidget &widget)
{
    widget.setForegroundRole(QPalette::PlaceholderText);
}

void makeWarning(QWidget &widget)
{
    // Only the text colour is fixed; the other roles still follow the window's scheme.
    QPalette red = widget.palette();
    red.setColor(QPalette::WindowText, Color::red().toQColor());
    widget.setPalette(red);
}

namespace {

// A corner starts 1.2 radii before the vertex and bends through a cubic curve whose handles
// reach 64 % of the way to the vertex: flatter ends than a circular arc, as continuous corners.
constexpr double reach = 1.2;
constexpr double handle = 0.64;

void corner(QPainterPath &path, QPointF from, QPointF vertex, QPointF to)
{
    path.lineTo(from);
    path.cubicTo(from + (vertex - from) * handle, to + (vertex - to) * handle, to);
}

} // namespace

QPainterPath continuousRoundedRect(const QRectF &rect, double radius)
{
    const double r = std::min(radius * reach, std::min(rect.width(), rect.height()) / 2);
    QPainterPath path;
    path.moveTo(rect.left() + r, rect.top());
    corner(path, { rect.right() - r, rect.top() }, rect.topRight(), { rect.right(), rect.top() + r });
    corner(path, { rect.right(), rect.bottom() - r }, rect.bottomRight(), { rect.right() - r, rect.bottom() });
    corner(path, { rect.left() + r, rect.bottom() }, rect.bottomLeft(), { rect.left(), rect.bottom() - r });
    corner(path, { rect.left(), rect.top() + r }, rect.topLeft(), { rect.left() + r, rect.top() });
    path.closeSubpath();
    return path;
}

void strokeInside(QPainter &painter, const QRectF &rect, double radius, const QColor &color)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(color, 1.0));
    painter.drawPath(continuousRoundedRect(rect.adjusted(0.5, 0.5, -0.5, -0.5), radius - 0.5));
    painter.restore();
}

} // namespace SettingsStyle
