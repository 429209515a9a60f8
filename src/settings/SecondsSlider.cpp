#include "settings/SecondsSlider.h"

#include "settings/PreferenceBinding.h"
#include "widgets/SettingsStyle.h"
#include "widgets/SteppedSlider.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>

#include <cmath>

namespace {

// A line with one text at each end and flexible space between.
QHBoxLayout *endsLine(QLabel *leading, QLabel *trailing)
{
    auto *line = new QHBoxLayout;
    line->setSpacing(12);
    line->addWidget(leading);
    line->addStretch(1);
    line->addWidget(trailing);
    return line;
}

} // namespace

QString SecondsSlider::format(double seconds, double step)
{
    const bool hundredths = std::abs(step * 10 - std::round(step * 10)) > 1e-9;
    return QLocale().toString(seconds, 'f', hundredths ? 2 : 1);
}

SecondsSlider::SecondsSlider(const QString &title, const QString &lowEnd, const QString &highEnd, Range range,
    PreferenceStore &preferences, const QString &key, QWidget *parent)
    : QWidget(parent)
    , m_slider(new SteppedSlider(range.minimum, range.maximum, range.step, this))
    , m_value(new QLabel(this))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 16);
    layout->setSpacing(10);

    auto *titleLabel = new QLabel(title, this);
    SettingsStyle::setFont(*titleLabel, 15);
    // Most desktop fonts draw digits at one width already, so the label does not jitter.
    SettingsStyle::setFont(*m_value, 15, QFont::DemiBold);
    m_value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    layout->addLayout(endsLine(titleLabel, m_value));

    m_slider->setAccessibleName(title);
    const double step = range.step;
    m_slider->setValueText([step](double seconds) { return tr("%1 Sekunden").arg(format(seconds, step)); });
    PreferenceBinding::bind(*m_slider, preferences, key);
    layout->addWidget(m_slider);

    auto *low = new QLabel(lowEnd, this);
    auto *high = new QLabel(highEnd, this);
    for (QLabel *label : { low, high }) {
        SettingsStyle::setFont(*label, 12);
        SettingsStyle::makeSecondary(*label);
    }
    layout->addLayout(endsLine(low, high));

    PreferenceBinding::watch(preferences, key, m_value, [this, range, &preferences, key] {
        m_value->setText(tr("%1 s").arg(format(AppPreferences::seconds(preferences, key, range), range.step)));
    });
}
