#include "settings/NotchPreview.h"

#include "core/Color.h"
#include "widgets/SettingsStyle.h"

#include <QLinearGradient>
#include <QPainter>

NotchPreview::NotchPreview(QWidget *parent)
    : QWidget(parent)
{
    setFixedHeight(150);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setAccessibleName(tr("Vorschau der Notch: Deploy in staging, läuft seit 42 Sekunden"));
}

void NotchPreview::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF frame = rect();
    const QPainterPath clip = SettingsStyle::continuousRoundedRect(frame, 22);
    painter.save();
    painter.setClipPath(clip);

    QLinearGradient gradient(frame.topLeft(), frame.bottomLeft());
    gradient.setColorAt(0, QColor::fromRgbF(0.2f, 0.2f, 0.2f));
    gradient.setColorAt(1, QColor::fromRgbF(0.05f, 0.05f, 0.05f));
    painter.fillRect(frame, gradient);

    const QRectF notch(frame.center().x() - 130, frame.top(), 260, 38);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::black);
    painter.drawPath(SettingsStyle::bottomRoundedRect(notch, 18));

    // The status line: dot, title and elapsed time, 8 apart, centred within 20 px padding.
    const QFont title = SettingsStyle::font(*this, 13, QFont::Medium);
    const QFont time = SettingsStyle::font(*this, 13, QFont::Normal);
    const QString titleText = QStringLiteral("Deploy · staging");
    const QString timeText = QStringLiteral("0:42");
    const double titleWidth = QFontMetricsF(title).horizontalAdvance(titleText);
    const double timeWidth = QFontMetricsF(time).horizontalAdvance(timeText);
    const double lineWidth = std::min(8 + 8 + titleWidth + 8 + timeWidth, notch.width() - 40);
    double x = notch.center().x() - lineWidth / 2;
    const double midY = notch.center().y();

    painter.setBrush(Color::orange().toQColor());
    painter.drawEllipse(QRectF(x, midY - 4, 8, 8));
    x += 16;
    painter.setPen(Qt::white);
    painter.setFont(title);
    painter.drawText(QRectF(x, notch.top(), titleWidth, notch.height()), Qt::AlignVCenter | Qt::AlignLeft, titleText);
    x += titleWidth + 8;
    painter.setPen(QColor(255, 255, 255, 128));
    painter.setFont(time);
    painter.drawText(QRectF(x, notch.top(), timeWidth, notch.height()), Qt::AlignVCenter | Qt::AlignLeft, timeText);
    painter.restore();

    SettingsStyle::strokeInside(painter, frame, 22, SettingsStyle::primary(*this, 0.10));
}
