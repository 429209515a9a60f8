#pragma once

#include <QColor>
#include <QIcon>
#include <QRectF>
#include <QString>
#include <QStringList>

class QPainter;

// The program's own small monochrome icon set, drawn with painter paths so it stays sharp at
// every size and takes any colour (the tray follows the panel's light or dark look, the settings
// sidebar its palette). Names that are not in the set draw nothing.
namespace SymbolImage {

// Every name the set can draw, in no particular order.
QStringList names();
bool contains(const QString &name);

// Draws the symbol centred in the largest square that fits `rect`; the painter's state is kept.
void paint(QPainter &painter, const QRectF &rect, const QString &name, const QColor &color);

// A scalable icon of the symbol; a null icon for an unknown name.
QIcon icon(const QString &name, const QColor &color);

} // namespace SymbolImage
