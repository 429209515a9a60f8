#pragma once

#include "settings/SettingsPane.h"

#include <QLineEdit>
#include <QListView>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>

class ModuleRegistry;
class QAction;
struct SettingsPane;

// The settings window's sidebar: the search field above the list of panes, the list on Qt's item
// views (a model of the panes, a filter for the search, SidebarDelegate painting the rows).

// The search field, a capsule with a magnifying glass in front of the text ("Suchen").
class SearchField final : public QLineEdit {
    Q_OBJECT
public:
    explicit SearchField(QWidget *parent = nullptr);

protected:
    void changeEvent(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void paintGlass();

    QAction *m_glass;
};

// The panes in sidebar order: the main group, the registry's modules in registration order under
// the header "Module" (a module registered later joins them), a divider, the account group. Only
// pane rows can be selected; the header and the divider cannot.
class SidebarModel final : public QStandardItemModel {
    Q_OBJECT
public:
    enum Role { NameRole = Qt::UserRole + 1, SymbolRole, KindRole };
    enum class Kind { Pane, Header, Divider };

    SidebarModel(ModuleRegistry &registry, const QList<SettingsPane> &accountGroup, QObject *parent = nullptr);

    static Kind kind(const QModelIndex &index) { return Kind(index.data(KindRole).toInt()); }

private:
    static QStandardItem *paneItem(const SettingsPane &pane);
};

// Keeps the panes whose title holds the search text (SettingsPanes::matches), a header while a
// row under it is kept, and the divider always.
class SidebarFilter final : public QSortFilterProxyModel {
    Q_OBJECT
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

    void setSearch(const QString &search);

protected:
    bool filterAcceptsRow(int row, const QModelIndex &parent) const override;

private:
    QString m_search;
};

// The list of panes. One pane is always selected: a click on a row, Up and Down (past headers
// and the divider) or a screen reader selecting a list item picks it and reports it; the search
// hides rows but never changes the selection.
class SettingsSidebar final : public QListView {
    Q_OBJECT
public:
    SettingsSidebar(ModuleRegistry &registry, const QList<SettingsPane> &accountGroup, QWidget *parent = nullptr);

    void setSearch(const QString &search);
    void setSelection(const QString &name);
    // The listed row of the pane with this name; invalid while the search hides it.
    QModelIndex indexOf(const QString &name) const;

Q_SIGNALS:
    void paneSelected(const QString &name);

protected:
    // A press beside the rows goes on to the window, which it moves.
    void mousePressEvent(QMouseEvent *event) override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    QItemSelectionModel::SelectionFlags selectionCommand(
        const QModelIndex &index, const QEvent *event = nullptr) const override;

private:
    // Selects the selected pane's row again once the search lists it.
    void showSelection();

    SidebarModel *m_model;
    SidebarFilter *m_filter;
    QString m_selection;
    bool m_filtering = false;
};
