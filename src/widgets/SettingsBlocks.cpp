#include "widgets/SettingsBlocks.h"

#include "widgets/SettingsStyle.h"
#include "widgets/ToggleSwitch.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QVBoxLayout>

SettingsSectionTitle::SettingsSectionTitle(const QString &text, QWidget *parent)
    : QLabel(text, parent)
{
    setTextFormat(Qt::PlainText);
    SettingsStyle::setFont(*this, 13, QFont::Medium);
    SettingsStyle::makeSecondary(*this);
    setContentsMargins(4, 0, 0, 0);
}

SettingsCard::SettingsCard(QWidget *parent)
    : QWidget(parent)
    , m_layout(new QVBoxLayout(this))
{
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(0);
}

void SettingsCard::addWidget(QWidget *content)
{
    m_layout->addWidget(content);
}

ToggleSwitch *SettingsCard::addToggleRow(const QString &title)
{
    auto *toggle = new ToggleSwitch(title);
    addWidget(new SettingsRow(title, toggle, this));
    return toggle;
}

void SettingsCard::paintEvent(QPaintEvent *)
{
    // A light veil of the window colour stands in for the ultra-thin material.
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QColor face = palette().color(QPalette::Base);
    face.setAlphaF(0.45f);
    painter.setPen(Qt::NoPen);
    painter.setBrush(face);
    painter.drawPath(SettingsStyle::continuousRoundedRect(rect(), 18));
    SettingsStyle::strokeInside(painter, rect(), 18, SettingsStyle::primary(*this, 0.08));
}

SettingsRow::SettingsRow(const QString &title, QWidget *trailing, QWidget *parent)
    : QWidget(parent)
    , m_title(new QLabel(title, this))
    , m_trailing(trailing)
{
    m_title->setTextFormat(Qt::PlainText);
    SettingsStyle::setFont(*m_title, 15);
    setMinimumHeight(44);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(16, 10, 16, 10);
    layout->setSpacing(12);
    layout->addWidget(m_title, 0, Qt::AlignVCenter);
    // The stretch lets the two ends part; the spacing keeps them 12 apart at the least.
    layout->addStretch(1);
    if (trailing)
        layout->addWidget(trailing, 0, Qt::AlignVCenter);
    // A long title gives way (is cut) before the control does.
    m_title->setMinimumWidth(1);
}

SettingsDivider::SettingsDivider(QWidget *parent, Qt::Orientation orientation, const QMargins &margins)
    : QWidget(parent)
{
    setContentsMargins(margins);
    if (orientation == Qt::Horizontal) {
        setFixedHeight(1 + margins.top() + margins.bottom());
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    } else {
        setFixedWidth(1 + margins.left() + margins.right());
        setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
    }
}

void SettingsDivider::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(contentsRect(), SettingsStyle::primary(*this, 0.08));
}

SettingsSection::SettingsSection(const QString &title, QWidget *parent)
    : QWidget(parent)
    , m_card(new SettingsCard(this))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(10);
    auto *heading = new SettingsSectionTitle(title, this);
    // A group without a heading is just its card.
    heading->setVisible(!title.isEmpty());
    layout->addWidget(heading);
    layout->addWidget(m_card);
}

SettingsMessage::SettingsMessage(QWidget *parent, Tone tone)
    : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
    setWordWrap(true);
    setContentsMargins(16, 0, 16, 10);
    SettingsStyle::setFont(*this, 13);
    if (tone == Tone::Warning)
        SettingsStyle::makeWarning(*this);
    else
        SettingsStyle::makeSecondary(*this);
    hide();
}

void SettingsMessage::setMessage(const QString &text)
{
    setText(text);
    setVisible(!text.isEmpty());
}
