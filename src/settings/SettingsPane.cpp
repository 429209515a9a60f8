#include "settings/SettingsPane.h"

#include <QLocale>

namespace SettingsPanes {

QList<SettingsPane> all()
{
    return mainGroup() + moduleGroup() + accountGroup();
}

QString rawValue(SettingsPane pane)
{
    switch (pane) {
    case SettingsPane::General:
        return QStringLiteral("general");
    case SettingsPane::Notch:
        return QStringLiteral("notch");
    case SettingsPane::Notifications:
        return QStringLiteral("notifications");
    case SettingsPane::GitHubActions:
        return QStringLiteral("githubActions");
    case SettingsPane::PullRequests:
        return QStringLiteral("pullRequests");
    case SettingsPane::Docker:
        return QStringLiteral("docker");
    case SettingsPane::Updates:
        return QStringLiteral("updates");
    }
    return {};
}

QString title(SettingsPane pane)
{
    switch (pane) {
    case SettingsPane::General:
        return QStringLiteral("Allgemein");
    case SettingsPane::Notch:
        return QStringLiteral("Notch");
    case SettingsPane::Notifications:
        return QStringLiteral("Benachrichtigungen");
    case SettingsPane::GitHubActions:
        return QStringLiteral("GitHub Actions");
    case SettingsPane::PullRequests:
        return QStringLiteral("Pull Requests");
    case SettingsPane::Docker:
        return QStringLiteral("Docker");
    case SettingsPane::Updates:
        return QStringLiteral("Updates");
    }
    return {};
}

QString symbol(SettingsPane pane)
{
    switch (pane) {
    case SettingsPane::General:
        return QStringLiteral("gearshape");
    case SettingsPane::Notch:
        return QStringLiteral("rectangle.topthird.inset.filled");
    case SettingsPane::Notifications:
        return QStringLiteral("bell");
    case SettingsPane::GitHubActions:
        return QStringLiteral("gearshape.2");
    case SettingsPane::PullRequests:
        return QStringLiteral("arrow.triangle.pull");
    case SettingsPane::Docker:
        return QStringLiteral("shippingbox");
    case SettingsPane::Updates:
        return QStringLiteral("arrow.down.circle");
    }
    return {};
}

QList<SettingsPane> mainGroup()
{
    return { SettingsPane::General, SettingsPane::Notch, SettingsPane::Notifications };
}

QList<SettingsPane> moduleGroup()
{
    return { SettingsPane::GitHubActions, SettingsPane::PullRequests, SettingsPane::Docker };
}

QList<SettingsPane> accountGroup()
{
    return { SettingsPane::Updates };
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
