#pragma once

#include "settings/SettingsPane.h"

#include <QAbstractButton>
#include <QList>
#include <QWidget>

class ModuleRegistry;
class QLineEdit;
class QVBoxLayout;

// The pieces of the settings window's sidebar: the search field, one row per pane, and a group
// of rows under an optional header.

// A capsule holding a magnifying glass and a borderless line edit ("Suchen").
class SearchField final : public QWidget {
    Q_OBJECT
public:
    explicit SearchField(QWidget *parent = nullptr);

    QLineEdit *lineEdit() const { return m_edit; }

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    QLineEdit *m_edit;
};

// A pane's entry: its symbol on a small rounded tile and its title; drawn on a rounded
// highlight while it is the selected pane. Screen readers see a list item with the selected
// state.
class SidebarRow final : public QAbstractButton {
    Q_OBJECT
public:
    explicit SidebarRow(SettingsPane pane, QWidget *parent = nullptr);

    const SettingsPane &pane() const { return m_pane; }
    bool isSelected() const { return m_selected; }
    void setSelected(bool selected);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    bool hitButton(const QPoint &pos) const override;

private:
    SettingsPane m_pane;
    bool m_selected = false;
};

// The rows of one group, in list order, under an optional header. Hidden as a whole, header
// included, when the search leaves none of its rows.
class SidebarGroup final : public QWidget {
    Q_OBJECT
public:
    SidebarGroup(const QList<SettingsPane> &panes, const QString &header, QWidget *parent = nullptr);

    const QList<SidebarRow *> &rows() const { return m_rows; }
    SidebarRow *addRow(const SettingsPane &pane);
    void applySearch(const QString &search);

private:
    QVBoxLayout *m_layout;
    QList<SidebarRow *> m_rows;
};

// The list of panes: the main group, the registry's modules in registration order under
// "Module", a divider that always stays, and the account group. Screen readers see a list of
// the rows.
class SidebarList final : public QWidget {
    Q_OBJECT
public:
    explicit SidebarList(ModuleRegistry &registry, QWidget *parent = nullptr);

    QList<SidebarGroup *> groups() const { return m_groups; }
    SidebarRow *row(const QString &name) const;
    void applySearch(const QString &search);
    void setSelection(const QString &name);

Q_SIGNALS:
    void rowClicked(const QString &name);

protected:
    // Up and Down pick the previous or next listed pane, as in any list.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Clicks and the arrow keys on the row.
    void follow(SidebarRow &row);

    QList<SidebarGroup *> m_groups;
    QString m_search;
};

// The detail area's header: the pane's symbol (26 px) and its title (30 px, bold), 12 apart.
// Screen readers see one heading with the title.
class PaneHeader final : public QWidget {
    Q_OBJECT
public:
    explicit PaneHeader(QWidget *parent = nullptr);

    void setPane(const SettingsPane &pane);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    SettingsPane m_pane;
};
