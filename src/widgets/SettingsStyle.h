#pragma once

#include <QColor>
#include <QFont>
#include <QPainterPath>
#include <QPalette>
#include <QRectF>
#include <QString>

class QWidget;

// The look the settings window shares: its colour schemes, the tint, the system font at a given
// size and weight, and the softly rounded shapes. Colours are taken from the widget's palette,
// so everything follows the light or dark scheme the moment it changes.
namespace SettingsStyle {

// The colour scheme a stored appearance asks for; anything but exactly "light" or "dark"
// follows the desktop.
enum class Scheme { System, Light, Dark };
Scheme schemeFor(const QString &appearance);
QPalette lightPalette();
QPalette darkPalette();

// Text and line colours of the scheme: primary is the main text colour; secondary labels use
// the palette's placeholder-text role, which both schemes set to the dimmed text colour.
QColor primary(const QWidget &widget, double opacity = 1.0);
QColor secondary(const QWidget &widget);
QColor tint();

QFont font(const QWidget &widget, int pixelSize, QFont::Weight weight = QFont::Normal);
void setFont(QWidget &widget, int pixelSize, QFont::Weight weight = QFont::Normal);
// Shows the label's text in the secondary colour, also after the scheme changes.
void makeSecondary(QWidget &widget);
// Shows the widget's text in red, for what went wrong; the other colours follow the scheme.
void makeWarning(QWidget &widget);

// A rounded rectangle with smoothly blended corners, close to a squircle: each corner is a
// cubic curve whose handles reach further than a circular arc's.
QPainterPath continuousRoundedRect(const QRectF &rect, double radius);

// Strokes a 1-point border inside the shape of `rect` (inset by half the line width).
void strokeInside(QPainter &painter, const QRectF &rect, double radius, const QColor &color);

} // namespace SettingsStyle
