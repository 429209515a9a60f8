#include "core/Color.h"

QColor Color::toQColor() const
{
    // The system palette's vivid variants, which read well on the black overlay and on both
    // light and dark settings backgrounds.
    QColor color;
    switch (m_name) {
    case Name::Orange: color = QColor(0xFF, 0x9F, 0x0A); break;
    case Name::Green: color = QColor(0x30, 0xD1, 0x58); break;
    case Name::Red: color = QColor(0xFF, 0x45, 0x3A); break;
    case Name::Blue: color = QColor(0x0A, 0x84, 0xFF); break;
    case Name::Gray: color = QColor(0x8E, 0x8E, 0x93); break;
    case Name::White: color = QColor(0xFF, 0xFF, 0xFF); break;
    case Name::Black: color = QColor(0x00, 0x00, 0x00); break;
    }
    color.setAlphaF(float(qBound(0.0, m_opacity, 1.0)));
    return color;
}
