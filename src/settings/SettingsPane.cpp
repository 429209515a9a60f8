#include "settings/SettingsPane.h"

#include "core/DevModule.h"
#include "core/ModuleRegistry.h"

#include <QCoreApplication>
#include <QLocale>

namespace SettingsPanes {

namespace {

SettingsPane fixed(QLatin1StringView name, const char *title, const char *symbol)
{
    return { name, QCoreApplication::translate("SettingsPanes", title), QString::fromLatin1(symbol) };
}

} // namespace

QList<SettingsPane> mainGroup()
{
    return { fixed(general, QT_TRANSLATE_NOOP("SettingsPanes", "Allgemein"), "gearshape"),
        fixed(notch, QT_TRANSLATE_NOOP("SettingsPanes", "Notch"), "rectangle.topthird.inset.filled"),
        fixed(notifications, QT_TRANSLATE_NOOP("SettingsPanes", "Benachrichtigungen"), "bell") };
}

QList<SettingsPane> accountGroup(const QList<IntegrationPane> &integrationPanes)
{
    QList<SettingsPane> group;
    for (const IntegrationPane &pane : integrationPanes)
        group.append({ pane.name, pane.title, pane.symbol });
    group.append(fixed(updates, QT_TRANSLATE_NOOP("SettingsPanes", "Updates"), "arrow.down.circle"));
    return group;
}

SettingsPane forModule(const DevModule &module)
{
    return { module.id(), module.title(), module.symbol() };
}

std::optional<SettingsPane> named(
    const QString &name, const ModuleRegistry &registry, const QList<IntegrationPane> &integrationPanes)
{
    for (const SettingsPane &fixed : mainGroup() + accountGroup(integrationPanes)) {
        if (fixed.name == name)
            return fixed;
    }
    if (const DevModule *module = registry.module(name))
        return forModule(*module);
    return std::nullopt;
}

bool matches(const QString &title, const QString &search)
{
    if (search.isEmpty())
        return true;
    // Lower-casing both sides with the user's locale ignores case only, as the locale
    // understands it; accents still have to match.
    const QLocale locale;
    return locale.toLower(title).contains(locale.toLower(search));
}

} // namespace SettingsPanes
