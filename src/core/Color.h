#pragma once

#include <QColor>

// A named standard colour with an opacity, held by value. The names are the only colours the
// program's logic speaks of; how a name looks on screen is decided in toQColor() alone.
class Color final {
public:
    enum class Name { Orange, Green, Red, Blue, Gray, White, Black };

    constexpr Color(Name name = Name::Black, double opacity = 1.0) : m_name(name), m_opacity(opacity) {}

    static constexpr Color orange() { return Color(Name::Orange); }
    static constexpr Color green() { return Color(Name::Green); }
    static constexpr Color red() { return Color(Name::Red); }
    static constexpr Color blue() { return Color(Name::Blue); }
    static constexpr Color gray() { return Color(Name::Gray); }
    static constexpr Color white() { return Color(Name::White); }
    static constexpr Color black() { return Color(Name::Black); }

    constexpr Name name() const { return m_name; }
    constexpr double opacity() const { return m_opacity; }
    constexpr Color withOpacity(double opacity) const { return Color(m_name, opacity); }

    QColor toQColor() const;

    friend constexpr bool operator==(const Color &, const Color &) = default;

private:
    Name m_name;
    double m_opacity;
};
