#pragma once

#include "settings/SettingsPane.h"
#include "settings/SettingsSources.h"

#include <QList>
#include <QPointer>
#include <QWidget>

#include <optional>

class PaneHeader;
class QLineEdit;
class QVBoxLayout;
class SearchField;
class SettingsSidebar;

// The settings window's content: a sidebar with the search field and the grouped pane list,
// a hairline, and the detail area showing the selected pane under its header. Follows the
// "app.appearance" preference for its colour scheme. The selection and search text live as
// long as the view; the search only filters the list and never changes the selection.
class SettingsView final : public QWidget {
    Q_OBJECT
public:
    explicit SettingsView(const SettingsSources &sources, QWidget *parent = nullptr);

    // The selected pane's name (SettingsPane::name); selecting a name no pane has does nothing.
    QString selection() const { return m_selection; }
    void setSelection(const QString &name);
    QString search() const;
    void setSearch(const QString &text);

    // Whether the background lets the desktop shine through (only where a compositor runs).
    void setTranslucentBackground(bool translucent);

    // Whether a left press at `position` (in the view) moves the window: only on the window's
    // own background, never on a control, not even a disabled one.
    bool movesWindow(QPoint position) const;

    QLineEdit *searchEdit() const;
    SettingsSidebar *sidebar() const { return m_sidebar; }
    QWidget *currentPane() const { return m_pane; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;
    // Dragging the background moves the window.
    void mousePressEvent(QMouseEvent *event) override;

private:
    void applyAppearance();
    void fitTopSpacing();
    void showPane();
    std::optional<SettingsPane> pane(const QString &name) const;
    QWidget *createPane(const QString &name);

    const SettingsSources m_sources;
    ModuleRegistry &m_registry;
    PreferenceStore &m_preferences;
    QString m_selection = SettingsPanes::general;
    bool m_translucent = false;
    // The band at the top of a window without a title bar of its own.
    static constexpr int untitledTopSpacing = 48;

    SearchField *m_search;
    QVBoxLayout *m_searchLayout;
    SettingsSidebar *m_sidebar;
    PaneHeader *m_header;
    QVBoxLayout *m_column;
    QPointer<QWidget> m_pane;
};
