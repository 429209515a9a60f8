#include "settings/SettingsPane.h"

#include <QLocale>

namespace SettingsPanes {

QList<SettingsPane> all()
{
    return mainGroup() + moduleGroup() + accountGroup();
}

namespace {

struct PaneInfo {
    QString rawValue;
    QString title;
    QString symbol;
    QString moduleID = {};
    QString note = {};
};

const PaneInfo &info(SettingsPane pane)
{
    // In declaration order of SettingsPane.
    static const PaneInfo panes[] = {
        { QStringLiteral("general"), QStringLiteral("Allgemein"), QStringLiteral("gearshape") },
        { QStringLiteral("notch"), QStringLiteral("Notch"), QStringLiteral("rectangle.topthird.inset.filled") },
        { QStringLiteral("notifications"), QStringLiteral("Benachrichtigungen"), QStringLiteral("bell") },
        { QStringLiteral("githubActions"), QStringLiteral("GitHub Actions"), QStringLiteral("gearshape.2"),
            QStringLiteral("github.actions"),
            QStringLiteral("Neueste Workflow-Läufe des Repos. Ein Klick öffnet das Log.") },
        { QStringLiteral("pullRequests"), QStringLiteral("Pull Requests"), QStringLiteral("arrow.triangle.pull"),
            QStringLiteral("github.pullRequests"),
            QStringLiteral("Review-Anfragen, Reviews, Kommentare und gemergte PRs als Meldung.") },
        { QStringLiteral("docker"), QStringLiteral("Docker"), QStringLiteral("shippingbox"), QStringLiteral("docker"),
            QStringLiteral("Container mit Status. Start und Stop per Klick.") },
        { QStringLiteral("githubAccount"), QStringLiteral("GitHub-Konto"), QStringLiteral("person.badge.key") },
        { QStringLiteral("updates"), QStringLiteral("Updates"), QStringLiteral("arrow.down.circle") },
    };
    return panes[static_cast<int>(pane)];
}

} // namespace

QString rawValue(SettingsPane pane)
{
    return info(pane).rawValue;
}

QString title(SettingsPane pane)
{
    return info(pane).title;
}

QString symbol(SettingsPane pane)
{
    return info(pane).symbol;
}

QString moduleID(SettingsPane pane)
{
    return info(pane).moduleID;
}

QString note(SettingsPane pane)
{
    return info(pane).note;
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
    return { SettingsPane::GitHubAccount, SettingsPane::Updates };
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
