#include "widgets/SegmentedPicker.h"

#include "widgets/SettingsStyle.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QPainter>
#include <QRadioButton>
#include <QScopedValueRollback>

namespace {

// One segment: a radio button drawn as a label that sits on a raised face while chosen.
class PickerSegment final : public QRadioButton {
public:
    using QRadioButton::QRadioButton;

    QSize sizeHint() const override
    {
        const QFontMetrics metrics(font());
        return { metrics.horizontalAdvance(text()) + 28, 26 };
    }
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    bool hitButton(const QPoint &pos) const override { return rect().contains(pos); }

    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        if (!isEnabled())
            painter.setOpacity(0.4);
        const QRectF face = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
        if (isChecked()) {
            painter.setPen(QPen(SettingsStyle::primary(*this, 0.08), 1));
            painter.setBrush(palette().color(QPalette::Base));
            painter.drawPath(SettingsStyle::continuousRoundedRect(face, 6));
        }
        if (hasFocus()) {
            painter.setPen(QPen(SettingsStyle::tint(), 2));
            painter.setBrush(Qt::NoBrush);
            painter.drawPath(SettingsStyle::continuousRoundedRect(face.adjusted(1, 1, -1, -1), 5));
        }
        painter.setPen(SettingsStyle::primary(*this));
        painter.drawText(rect(), Qt::AlignCenter, text());
    }
};

} // namespace

SegmentedPicker::SegmentedPicker(const QString &accessibleName, const QList<Segment> &segments, QWidget *parent)
    : QWidget(parent)
    , m_segments(segments)
    , m_group(new QButtonGroup(this))
{
    setAccessibleName(accessibleName);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);
    for (qsizetype i = 0; i < m_segments.size(); ++i) {
        auto *segment = new PickerSegment(m_segments.at(i).title, this);
        SettingsStyle::setFont(*segment, 13, QFont::Medium);
        segment->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        m_group->addButton(segment, int(i));
        layout->addWidget(segment);
    }
    // Toggled rather than clicked: assistive tools choose a segment by toggling it.
    connect(m_group, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (checked && !m_settingValue)
            Q_EMIT activated(m_segments.at(id).value);
    });
}

QString SegmentedPicker::value() const
{
    const int id = m_group->checkedId();
    return id < 0 ? QString() : m_segments.at(id).value;
}

void SegmentedPicker::setValue(const QString &value)
{
    const QScopedValueRollback guard(m_settingValue, true);
    for (qsizetype i = 0; i < m_segments.size(); ++i) {
        if (m_segments.at(i).value == value) {
            m_group->button(int(i))->setChecked(true);
            return;
        }
    }
    // No segment holds the value: show none chosen.
    m_group->setExclusive(false);
    if (auto *checked = m_group->checkedButton())
        checked->setChecked(false);
    m_group->setExclusive(true);
}

void SegmentedPicker::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(SettingsStyle::primary(*this, 0.08));
    painter.drawPath(SettingsStyle::continuousRoundedRect(rect(), 8));
}
