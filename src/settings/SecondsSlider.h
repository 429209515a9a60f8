#pragma once

#include "core/prefs/AppPreferences.h"

#include <QWidget>

class PreferenceStore;
class QLabel;
class SteppedSlider;

// A duration preference in seconds as a titled block: the title with the value at the other end,
// a stepped slider on the grid, and a word under each end of the track ("Kurz" … "Lang"). The
// value shown is the stored one held to the range.
class SecondsSlider final : public QWidget {
    Q_OBJECT
public:
    using Range = AppPreferences::SecondsRange;

    SecondsSlider(const QString &title, const QString &lowEnd, const QString &highEnd, Range range,
        PreferenceStore &preferences, const QString &key, QWidget *parent = nullptr);

    SteppedSlider *slider() const { return m_slider; }
    QLabel *valueLabel() const { return m_value; }

    // "3,5" in German, "3.5" in English: in the user's locale, with as many fraction digits as
    // the step needs (one for half seconds, two for 0.05 s).
    static QString format(double seconds, double step);

private:
    SteppedSlider *m_slider;
    QLabel *m_value;
};
