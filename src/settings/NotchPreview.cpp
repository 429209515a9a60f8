#include "settings/NotchPreview.h"

#include "core/Color.h"
#include "widgets/SettingsStyle.h"

#include <QLinearGradient>
#include <QPainter>

NotchPreview::NotchPreview(QWidget *parent)
    : QWidget(parent)
    , m_notch(QSizeF(260, 38))
{
    setFixedHeight(150);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setAccessibleName(tr("Vorschau der Notch: Deploy in staging, läuft seit 42 Sekunden"));
    m_notch.setStatus(QStringLiteral("Deploy · staging"), Color::orange(), QStringLiteral("0:42"));
}

void NotchPreview::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF frame = rect();
    painter.save();
    painter.setClipPath(SettingsStyle::continuousRoundedRect(frame, 22));
    QLinearGradient gradient(frame.topLeft(), frame.bottomLeft());
    gradient.setColorAt(0, QColor::fromRgbF(0.2f, 0.2f, 0.2f));
    gradient.setColorAt(1, QColor::fromRgbF(0.05f, 0.05f, 0.05f));
    painter.fillRect(frame, gradient);
    painter.restore();

    m_notch.paint(painter, frame.width(), 0);
    SettingsStyle::strokeInside(painter, frame, 22, SettingsStyle::primary(*this, 0.10));
}
