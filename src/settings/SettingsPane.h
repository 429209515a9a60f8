#pragma once

#include "core/Integration.h"

#include <QLatin1StringView>
#include <QList>
#include <QString>

#include <optional>

class DevModule;
class ModuleRegistry;

// A pane of the settings window as the sidebar lists it and its header shows it: the stable name
// that selects it (its raw value), its title and its symbol. A module's pane is named by the
// module's id and takes its title and symbol from the module, so nothing here repeats a module.
struct SettingsPane {
    QString name;
    QString title;
    QString symbol;
};

namespace SettingsPanes {

// The names of the fixed panes.
inline constexpr QLatin1StringView general { "general" };
inline constexpr QLatin1StringView notch { "notch" };
inline constexpr QLatin1StringView notifications { "notifications" };
inline constexpr QLatin1StringView updates { "updates" };

// The fixed panes above the modules' group, and the integrations' panes with the updates below
// it, in sidebar order.
QList<SettingsPane> mainGroup();
QList<SettingsPane> accountGroup(const QList<IntegrationPane> &integrationPanes);
// The pane showing `module`.
SettingsPane forModule(const DevModule &module);
// The pane named `name` among the fixed ones, the integrations' and the modules'; none for a name
// no pane has.
std::optional<SettingsPane> named(
    const QString &name, const ModuleRegistry &registry, const QList<IntegrationPane> &integrationPanes);

// Whether a pane titled `title` stays listed for the search text: a case-insensitive
// substring test in the user's locale (accents count); an empty search keeps every pane.
bool matches(const QString &title, const QString &search);

} // namespace SettingsPanes
