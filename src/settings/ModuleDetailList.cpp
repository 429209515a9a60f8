#include "settings/ModuleDetailList.h"

#include "core/PlainText.h"
#include "settings/ModuleDocumentView.h"
#include "widgets/SettingsBlocks.h"
#include "widgets/SettingsStyle.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>

namespace {

constexpr int dotSize = 8;
constexpr int textLeft = 16 + dotSize + 10;

} // namespace

DetailRow::DetailRow(const LinkGate &links, bool linked, int commandCount, QWidget *parent)
    : QAbstractButton(parent)
    , m_links(links)
    , m_linked(linked)
    , m_message(new QLabel(this))
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setFocusPolicy(linked ? Qt::StrongFocus : Qt::NoFocus);
    if (linked) {
        setCursor(Qt::PointingHandCursor);
        setAttribute(Qt::WA_Hover);
        connect(this, &QAbstractButton::clicked, this,
            [this] { m_detail.row.open(m_links, [this](const QString &pane) { Q_EMIT paneRequested(pane); }); });
    }
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(textLeft, 10, 16, 10);
    layout->setSpacing(12);
    layout->addStretch(1);
    m_message->setTextFormat(Qt::PlainText);
    m_message->setWordWrap(true);
    m_message->setMaximumWidth(220);
    SettingsStyle::setFont(*m_message, 12);
    SettingsStyle::makeWarning(*m_message);
    layout->addWidget(m_message, 0, Qt::AlignVCenter);
    for (int index = 0; index < commandCount; ++index) {
        auto *button = new QPushButton(this);
        layout->addWidget(button, 0, Qt::AlignVCenter);
        m_commands.append(button);
        // The command of the line as it is now, not as it was when the button was made.
        connect(button, &QPushButton::clicked, this, [this, index] {
            const ModuleCommand *command = index < m_detail.commands.size() ? &m_detail.commands[index] : nullptr;
            if (command && !command->underWay && command->run)
                command->run();
        });
    }
}

void DetailRow::setDetail(const ModuleDetail &detail, const QDateTime &now)
{
    m_detail = detail;
    m_subtitle = detail.row.subtitle(now);
    setText(PlainText::buttonText(detail.row.title));
    setAccessibleName(m_subtitle.isEmpty() ? detail.row.title : detail.row.title + QStringLiteral(", ") + m_subtitle);
    m_message->setText(detail.message);
    m_message->setVisible(!detail.message.isEmpty());
    for (qsizetype index = 0; index < m_commands.size() && index < detail.commands.size(); ++index) {
        const ModuleCommand &command = detail.commands[index];
        m_commands[index]->setText(command.label);
        m_commands[index]->setAccessibleName(command.accessibleName);
        m_commands[index]->setEnabled(!command.underWay);
    }
    update();
}

QSize DetailRow::sizeHint() const
{
    const int title = QFontMetrics(SettingsStyle::font(*this, 14, QFont::Medium)).height();
    const int subtitle = QFontMetrics(SettingsStyle::font(*this, 12)).height();
    return QSize(200, 10 + title + 2 + subtitle + 10).expandedTo(layout()->minimumSize()).expandedTo({ 0, 44 });
}

bool DetailRow::hitButton(const QPoint &pos) const
{
    return m_linked && rect().contains(pos);
}

void DetailRow::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (m_linked && (underMouse() || hasFocus())) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(SettingsStyle::primary(*this, hasFocus() ? 0.1 : 0.05));
        painter.drawPath(SettingsStyle::continuousRoundedRect(QRectF(rect()).adjusted(4, 2, -4, -2), 12));
    }
    const double middle = height() / 2.0;
    painter.setPen(Qt::NoPen);
    painter.setBrush(m_detail.row.color().toQColor());
    painter.drawEllipse(QRectF(16, middle - dotSize / 2.0, dotSize, dotSize));

    // The texts take the room the message and the buttons leave.
    int right = width() - 16;
    QList<const QWidget *> trailing { m_message };
    if (!m_commands.isEmpty())
        trailing.append(m_commands.first());
    for (const QWidget *widget : trailing) {
        if (widget->isVisible())
            right = std::min(right, widget->geometry().left() - 12);
    }
    const int textWidth = std::max(0, right - textLeft);
    const QFont titleFont = SettingsStyle::font(*this, 14, QFont::Medium);
    const QFont subtitleFont = SettingsStyle::font(*this, 12);
    const int titleHeight = QFontMetrics(titleFont).height();
    const int subtitleHeight = m_subtitle.isEmpty() ? 0 : QFontMetrics(subtitleFont).height() + 2;
    int y = int(middle - (titleHeight + subtitleHeight) / 2.0);
    painter.setFont(titleFont);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(QRect(textLeft, y, textWidth, titleHeight), Qt::AlignLeft | Qt::AlignVCenter,
        QFontMetrics(titleFont).elidedText(m_detail.row.title, Qt::ElideRight, textWidth));
    if (!m_subtitle.isEmpty()) {
        painter.setFont(subtitleFont);
        painter.setPen(SettingsStyle::secondary(*this));
        painter.drawText(QRect(textLeft, y + titleHeight + 2, textWidth, subtitleHeight - 2),
            Qt::AlignLeft | Qt::AlignVCenter,
            QFontMetrics(subtitleFont).elidedText(m_subtitle, Qt::ElideRight, textWidth));
    }
}

ModuleDetailList::ModuleDetailList(const LinkGate &links, QWidget *parent)
    : QWidget(parent)
    , m_links(links)
    , m_layout(new QVBoxLayout(this))
{
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(20);
}

void ModuleDetailList::setDetails(const QList<ModuleDetail> &details, const QDateTime &now)
{
    // Grouped under the headings in the order they first appear.
    QStringList groups;
    for (const ModuleDetail &detail : details) {
        if (!groups.contains(detail.group))
            groups << detail.group;
    }
    QList<const ModuleDetail *> ordered;
    QList<Shape> shape;
    for (const QString &group : groups) {
        for (const ModuleDetail &detail : details) {
            if (detail.group != group)
                continue;
            ordered << &detail;
            shape << Shape { group, detail.row.opensSomething(m_links), detail.commands.size(),
                detail.document.has_value() };
        }
    }
    if (shape != m_shape)
        rebuild(shape);
    for (qsizetype i = 0; i < m_rows.size(); ++i) {
        m_rows[i]->setDetail(*ordered[i], now);
        if (m_documents[i])
            m_documents[i]->setDocument(*ordered[i]->document);
    }
    setVisible(!m_rows.isEmpty());
}

void ModuleDetailList::rebuild(const QList<Shape> &shape)
{
    m_shape = shape;
    m_rows.clear();
    m_documents.clear();
    while (QLayoutItem *item = m_layout->takeAt(0)) {
        // Later, not now: a command's button in there may be what led to this change.
        item->widget()->hide();
        item->widget()->deleteLater();
        delete item;
    }
    SettingsCard *card = nullptr;
    QString group;
    for (const Shape &line : shape) {
        if (!card || line.group != group) {
            auto *section = new SettingsSection(line.group, this);
            m_layout->addWidget(section);
            card = section->card();
            group = line.group;
        } else {
            card->addWidget(new SettingsDivider(card));
        }
        auto *row = new DetailRow(m_links, line.linked, int(line.commands), card);
        connect(row, &DetailRow::paneRequested, this, &ModuleDetailList::paneRequested);
        card->addWidget(row);
        m_rows << row;
        m_documents << (line.withDocument ? new ModuleDocumentView(card) : nullptr);
        if (m_documents.last())
            card->addWidget(m_documents.last());
    }
}
