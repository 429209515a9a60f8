#include "settings/SettingsSidebar.h"

#include "core/ModuleRegistry.h"
#include "settings/SettingsPane.h"
#include "settings/SidebarDelegate.h"
#include "widgets/SettingsStyle.h"
#include "widgets/SymbolImage.h"

#include <QAction>
#include <QEvent>
#include <QMouseEvent>
#include <QPainter>

SearchField::SearchField(QWidget *parent)
    : QLineEdit(parent)
    , m_glass(addAction(QIcon(), QLineEdit::LeadingPosition))
{
    setFixedHeight(34);
    setFrame(false);
    // The text starts 34 from the capsule's left end (the glass in front of it) and ends 10 before
    // its right end.
    setContentsMargins(8, 0, 10, 0);
    setPlaceholderText(tr("Suchen"));
    setAccessibleName(tr("Einstellungen durchsuchen"));
    setAttribute(Qt::WA_MacShowFocusRect, false);
    SettingsStyle::setFont(*this, 14);
    // The capsule is the field's face; the edit's own base stays transparent on it.
    QPalette clear = palette();
    clear.setColor(QPalette::Base, Qt::transparent);
    setPalette(clear);
    paintGlass();
}

void SearchField::paintGlass()
{
    m_glass->setIcon(SymbolImage::icon(QStringLiteral("magnifyingglass"), SettingsStyle::secondary(*this)));
}

void SearchField::changeEvent(QEvent *event)
{
    // The glass follows the palette (light or dark).
    if (event->type() == QEvent::PaletteChange)
        paintGlass();
    QLineEdit::changeEvent(event);
}

void SearchField::paintEvent(QPaintEvent *event)
{
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(SettingsStyle::primary(*this, 0.08));
        const double radius = height() / 2.0;
        painter.drawRoundedRect(QRectF(rect()), radius, radius);
    }
    QLineEdit::paintEvent(event);
}

SidebarModel::SidebarModel(ModuleRegistry &registry, const QList<SettingsPane> &accountGroup, QObject *parent)
    : QStandardItemModel(parent)
{
    for (const SettingsPane &pane : SettingsPanes::mainGroup())
        appendRow(paneItem(pane));
    auto *header = new QStandardItem(tr("Module"));
    header->setData(int(Kind::Header), KindRole);
    header->setFlags(Qt::NoItemFlags);
    appendRow(header);
    for (const DevModule *module : registry.modules())
        appendRow(paneItem(SettingsPanes::forModule(*module)));
    // As in Qt's own combo box, a separator is an inert row that says what it is.
    auto *divider = new QStandardItem;
    divider->setData(int(Kind::Divider), KindRole);
    divider->setData(QStringLiteral("separator"), Qt::AccessibleDescriptionRole);
    divider->setFlags(Qt::NoItemFlags);
    appendRow(divider);
    for (const SettingsPane &pane : accountGroup)
        appendRow(paneItem(pane));
    connect(&registry, &ModuleRegistry::moduleAdded, this, [this, divider](const DevModule *module) {
        insertRow(divider->row(), paneItem(SettingsPanes::forModule(*module)));
    });
}

QStandardItem *SidebarModel::paneItem(const SettingsPane &pane)
{
    auto *item = new QStandardItem(pane.title);
    item->setData(int(Kind::Pane), KindRole);
    item->setData(pane.name, NameRole);
    item->setData(pane.symbol, SymbolRole);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return item;
}

void SidebarFilter::setSearch(const QString &search)
{
    m_search = search;
    invalidateFilter();
}

bool SidebarFilter::filterAcceptsRow(int row, const QModelIndex &parent) const
{
    const QAbstractItemModel &model = *sourceModel();
    const auto kept = [&](int at) {
        const QModelIndex index = model.index(at, 0, parent);
        return SidebarModel::kind(index) == SidebarModel::Kind::Pane
            && SettingsPanes::matches(index.data().toString(), m_search);
    };
    switch (SidebarModel::kind(model.index(row, 0, parent))) {
    case SidebarModel::Kind::Pane:
        return kept(row);
    case SidebarModel::Kind::Divider:
        return true;
    case SidebarModel::Kind::Header:
        for (int at = row + 1;
             at < model.rowCount(parent) && SidebarModel::kind(model.index(at, 0, parent)) == SidebarModel::Kind::Pane;
             ++at) {
            if (kept(at))
                return true;
        }
        return false;
    }
    return false;
}

SettingsSidebar::SettingsSidebar(ModuleRegistry &registry, const QList<SettingsPane> &accountGroup, QWidget *parent)
    : QListView(parent)
    , m_model(new SidebarModel(registry, accountGroup, this))
    , m_filter(new SidebarFilter(this))
{
    m_filter->setSourceModel(m_model);
    setModel(m_filter);
    setItemDelegate(new SidebarDelegate(this));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setViewportMargins(12, 0, 12, 0);
    // The window's background shows through the list.
    setAutoFillBackground(false);
    viewport()->setAutoFillBackground(false);

    // A module joining the list can bring its group's header back; a search that lists the
    // selected pane again shows it selected.
    connect(m_model, &QAbstractItemModel::rowsInserted, m_filter, &QSortFilterProxyModel::invalidate);
    connect(m_filter, &QAbstractItemModel::rowsInserted, this, &SettingsSidebar::showSelection);
    connect(m_filter, &QAbstractItemModel::layoutChanged, this, &SettingsSidebar::showSelection);
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        const QModelIndexList selected = selectionModel()->selectedIndexes();
        if (selected.isEmpty()) {
            // Nothing selected (the row was filtered out, or a screen reader picked a header):
            // the pane stays selected, shown again once its row is listed.
            QMetaObject::invokeMethod(this, &SettingsSidebar::showSelection, Qt::QueuedConnection);
            return;
        }
        const QString name = selected.first().data(SidebarModel::NameRole).toString();
        if (name != m_selection && !m_filtering)
            Q_EMIT paneSelected(name);
    });
}

void SettingsSidebar::setSearch(const QString &search)
{
    // The view moves the selection off a row the filter removes; that is no choice of the user's.
    m_filtering = true;
    m_filter->setSearch(search);
    m_filtering = false;
    showSelection();
}

void SettingsSidebar::setSelection(const QString &name)
{
    m_selection = name;
    showSelection();
}

void SettingsSidebar::showSelection()
{
    const QModelIndex index = indexOf(m_selection);
    if (!index.isValid())
        selectionModel()->clearSelection();
    else if (!selectionModel()->isSelected(index))
        selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
}

QModelIndex SettingsSidebar::indexOf(const QString &name) const
{
    const QModelIndexList found = m_filter->match(
        m_filter->index(0, 0), SidebarModel::NameRole, name, 1, Qt::MatchExactly | Qt::MatchCaseSensitive);
    return found.value(0);
}

void SettingsSidebar::mousePressEvent(QMouseEvent *event)
{
    if (!indexAt(event->position().toPoint()).isValid()) {
        event->ignore();
        return;
    }
    QListView::mousePressEvent(event);
}

QModelIndex SettingsSidebar::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers)
{
    if (action != MoveUp && action != MoveDown)
        return QListView::moveCursor(action, modifiers);
    // The next listed pane in that direction; headers and the divider are passed over.
    const int step = action == MoveDown ? 1 : -1;
    for (int row = currentIndex().row() + step; row >= 0 && row < model()->rowCount(); row += step) {
        const QModelIndex index = model()->index(row, 0);
        if (index.flags() & Qt::ItemIsSelectable)
            return index;
    }
    return currentIndex();
}

QItemSelectionModel::SelectionFlags SettingsSidebar::selectionCommand(
    const QModelIndex &index, const QEvent *event) const
{
    // A press beside the rows, on a header or with Ctrl never leaves the list without a selection.
    const QItemSelectionModel::SelectionFlags command = QListView::selectionCommand(index, event);
    if (!(index.flags() & Qt::ItemIsSelectable) || command & QItemSelectionModel::Deselect)
        return QItemSelectionModel::NoUpdate;
    return command;
}
