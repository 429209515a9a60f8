#pragma once

#include <QList>
#include <QString>

// The panes of the settings window, in sidebar order, with their stable raw values, titles and
// symbols, and the three fixed sidebar groups. A module's pane names the module it shows by id
// and carries the note under it; everything else the pane shows comes from the module.
enum class SettingsPane { General, Notch, Notifications, GitHubActions, PullRequests, Docker, GitHubAccount, Updates };

namespace SettingsPanes {

QList<SettingsPane> all();
QString rawValue(SettingsPane pane);
QString title(SettingsPane pane);
QString symbol(SettingsPane pane);
// The id of the module a module pane shows; empty for the other panes.
QString moduleID(SettingsPane pane);
// The explanation under a module pane's card; empty for the other panes.
QString note(SettingsPane pane);

QList<SettingsPane> mainGroup();
QList<SettingsPane> moduleGroup();
QList<SettingsPane> accountGroup();

// Whether a pane titled `title` stays listed for the search text: a case-insensitive
// substring test in the user's locale (accents count); an empty search keeps every pane.
bool matches(const QString &title, const QString &search);

} // namespace SettingsPanes
