#include "settings/SettingsSidebar.h"

#include "core/ModuleRegistry.h"
#include "widgets/SettingsBlocks.h"
#include "widgets/SettingsStyle.h"
#include "widgets/SymbolImage.h"

#include <QAccessible>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QVBoxLayout>

SearchField::SearchField(QWidget *parent)
    : QWidget(parent)
    , m_edit(new QLineEdit(this))
{
    setFixedHeight(34);
    auto *layout = new QHBoxLayout(this);
    // The glass is painted in the left margin: 10 padding, a 16 px symbol, 8 spacing.
    layout->setContentsMargins(10 + 16 + 8, 0, 10, 0);
    m_edit->setFrame(false);
    m_edit->setPlaceholderText(tr("Suchen"));
    m_edit->setAccessibleName(tr("Einstellungen durchsuchen"));
    m_edit->setClearButtonEnabled(false);
    m_edit->setAttribute(Qt::WA_MacShowFocusRect, false);
    SettingsStyle::setFont(*m_edit, 14);
    // The capsule is the field's face; the edit itself stays transparent on it.
    QPalette clear = m_edit->palette();
    clear.setColor(QPalette::Base, Qt::transparent);
    m_edit->setPalette(clear);
    layout->addWidget(m_edit);
}

void SearchField::mousePressEvent(QMouseEvent *event)
{
    // The whole capsule is the field: a press on its padding or glass goes to the text.
    m_edit->setFocus(Qt::MouseFocusReason);
    event->accept();
}

void SearchField::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(SettingsStyle::primary(*this, 0.08));
    const double radius = height() / 2.0;
    painter.drawRoundedRect(QRectF(rect()), radius, radius);
    SymbolImage::paint(painter, QRectF(10, (height() - 16) / 2.0, 16, 16), QStringLiteral("magnifyingglass"),
        SettingsStyle::secondary(*this));
}

SidebarRow::SidebarRow(SettingsPane pane, QWidget *parent)
    : QAbstractButton(parent)
    , m_pane(std::move(pane))
{
    setText(m_pane.title);
    setAccessibleName(m_pane.title);
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    SettingsStyle::setFont(*this, 14, QFont::Medium);
}

void SidebarRow::setSelected(bool selected)
{
    if (m_selected == selected)
        return;
    m_selected = selected;
    update();
    QAccessible::State changed;
    changed.selected = true;
    QAccessibleStateChangeEvent event(this, changed);
    QAccessible::updateAccessibility(&event);
}

QSize SidebarRow::sizeHint() const
{
    return { 200, 44 };
}

bool SidebarRow::hitButton(const QPoint &pos) const
{
    return rect().contains(pos);
}

void SidebarRow::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF bounds = rect();
    if (m_selected) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(SettingsStyle::primary(*this, 0.12));
        painter.drawPath(SettingsStyle::continuousRoundedRect(bounds, 12));
    }
    if (hasFocus())
        SettingsStyle::strokeInside(painter, bounds, 12, SettingsStyle::tint());

    // Padding 8 / 6, then the 30 px tile, 12 spacing and the title.
    const QRectF tile(8, (height() - 30) / 2.0, 30, 30);
    painter.setPen(Qt::NoPen);
    painter.setBrush(SettingsStyle::primary(*this, 0.08));
    painter.drawPath(SettingsStyle::continuousRoundedRect(tile, 8));
    SettingsStyle::strokeInside(painter, tile, 8, SettingsStyle::primary(*this, 0.1));
    SymbolImage::paint(painter, tile.adjusted(7, 7, -7, -7), m_pane.symbol, SettingsStyle::primary(*this));

    painter.setPen(SettingsStyle::primary(*this));
    painter.setFont(font());
    const QRectF titleRect(tile.right() + 12, 0, width() - tile.right() - 12 - 8, height());
    painter.drawText(titleRect, Qt::AlignVCenter | Qt::AlignLeft,
        fontMetrics().elidedText(text(), Qt::ElideRight, int(titleRect.width())));
}

SidebarGroup::SidebarGroup(const QList<SettingsPane> &panes, const QString &header, QWidget *parent)
    : QWidget(parent)
    , m_layout(new QVBoxLayout(this))
{
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(4);
    if (!header.isEmpty()) {
        auto *label = new QLabel(header, this);
        SettingsStyle::setFont(*label, 12, QFont::Medium);
        SettingsStyle::makeSecondary(*label);
        label->setContentsMargins(10, 10, 10, 2);
        m_layout->addWidget(label);
    }
    for (const SettingsPane &pane : panes)
        addRow(pane);
}

SidebarRow *SidebarGroup::addRow(const SettingsPane &pane)
{
    auto *row = new SidebarRow(pane, this);
    m_rows.append(row);
    m_layout->addWidget(row);
    return row;
}

void SidebarGroup::applySearch(const QString &search)
{
    bool any = false;
    for (SidebarRow *row : std::as_const(m_rows)) {
        const bool kept = SettingsPanes::matches(row->text(), search);
        row->setVisible(kept);
        any = any || kept;
    }
    setVisible(any);
}

SidebarList::SidebarList(ModuleRegistry &registry, QWidget *parent)
    : QWidget(parent)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 0, 12, 16);
    layout->setSpacing(4);
    m_groups = { new SidebarGroup(SettingsPanes::mainGroup(), {}, this), new SidebarGroup({}, tr("Module"), this),
        new SidebarGroup(SettingsPanes::accountGroup(), {}, this) };
    layout->addWidget(m_groups.at(0));
    layout->addWidget(m_groups.at(1));
    layout->addWidget(new SettingsDivider(this, Qt::Horizontal, QMargins(16, 10, 16, 10)));
    layout->addWidget(m_groups.at(2));
    layout->addStretch(1);
    for (SidebarGroup *group : std::as_const(m_groups)) {
        for (SidebarRow *row : group->rows())
            follow(*row);
    }
    SidebarGroup &modules = *m_groups.at(1);
    for (const DevModule *module : registry.modules())
        follow(*modules.addRow(SettingsPanes::forModule(*module)));
    connect(&registry, &ModuleRegistry::moduleAdded, this, [this, &modules](const DevModule *module) {
        follow(*modules.addRow(SettingsPanes::forModule(*module)));
        modules.applySearch(m_search);
    });
    applySearch({});
}

void SidebarList::follow(SidebarRow &row)
{
    connect(&row, &SidebarRow::clicked, this, [this, &row] { Q_EMIT rowClicked(row.pane().name); });
    row.installEventFilter(this);
}

bool SidebarList::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const int key = static_cast<QKeyEvent *>(event)->key();
    if (key != Qt::Key_Up && key != Qt::Key_Down)
        return false;
    QList<SidebarRow *> listed;
    for (SidebarGroup *group : std::as_const(m_groups)) {
        for (SidebarRow *row : group->rows()) {
            if (row->isVisibleTo(this))
                listed.append(row);
        }
    }
    const qsizetype at = listed.indexOf(qobject_cast<SidebarRow *>(watched));
    const qsizetype next = at + (key == Qt::Key_Down ? 1 : -1);
    if (at >= 0 && next >= 0 && next < listed.size()) {
        listed.at(next)->setFocus(Qt::OtherFocusReason);
        listed.at(next)->click();
    }
    return true;
}

SidebarRow *SidebarList::row(const QString &name) const
{
    for (SidebarGroup *group : m_groups) {
        for (SidebarRow *row : group->rows()) {
            if (row->pane().name == name)
                return row;
        }
    }
    return nullptr;
}

void SidebarList::applySearch(const QString &search)
{
    m_search = search;
    for (SidebarGroup *group : std::as_const(m_groups))
        group->applySearch(search);
}

void SidebarList::setSelection(const QString &name)
{
    for (SidebarGroup *group : std::as_const(m_groups)) {
        for (SidebarRow *row : group->rows())
            row->setSelected(row->pane().name == name);
    }
}

PaneHeader::PaneHeader(QWidget *parent)
    : QWidget(parent)
{
    SettingsStyle::setFont(*this, 30, QFont::Bold);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void PaneHeader::setPane(const SettingsPane &pane)
{
    m_pane = pane;
    setAccessibleName(pane.title);
    updateGeometry();
    update();
}

QSize PaneHeader::sizeHint() const
{
    const QFontMetrics metrics(font());
    return { 34 + 12 + metrics.horizontalAdvance(m_pane.title), std::max(34, metrics.height()) };
}

void PaneHeader::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor color = SettingsStyle::primary(*this);
    // A 26 px semibold glyph fills about a 30 px box.
    SymbolImage::paint(painter, QRectF(2, (height() - 30) / 2.0, 30, 30), m_pane.symbol, color);
    painter.setPen(color);
    painter.setFont(font());
    painter.drawText(QRectF(34 + 12, 0, width() - 46, height()), Qt::AlignVCenter | Qt::AlignLeft, m_pane.title);
}
