#include "settings/SettingsPane.h"

#include <QCoreApplication>
#include <QLocale>

namespace SettingsPanes {

QList<SettingsPane> all()
{
    return mainGroup() + moduleGroup() + accountGroup();
}

namespace {

struct PaneInfo {
    QString rawValue;
    const char *title;
    QString symbol;
    QString moduleID = {};
    const char *note = nullptr;
};

const PaneInfo &info(SettingsPane pane)
{
    // In declaration order of SettingsPane.
    static const PaneInfo panes[] = {
        { QStringLiteral("general"), QT_TRANSLATE_NOOP("SettingsPanes", "Allgemein"), QStringLiteral("gearshape") },
        { QStringLiteral("notch"), QT_TRANSLATE_NOOP("SettingsPanes", "Notch"),
            QStringLiteral("rectangle.topthird.inset.filled") },
        { QStringLiteral("notifications"), QT_TRANSLATE_NOOP("SettingsPanes", "Benachrichtigungen"),
            QStringLiteral("bell") },
        { QStringLiteral("githubActions"), QT_TRANSLATE_NOOP("SettingsPanes", "GitHub Actions"),
            QStringLiteral("gearshape.2"), QStringLiteral("github.actions"),
            QT_TRANSLATE_NOOP("SettingsPanes", "Neueste Workflow-Läufe des Repos. Ein Klick öffnet das Log.") },
        { QStringLiteral("pullRequests"), QT_TRANSLATE_NOOP("SettingsPanes", "Pull Requests"),
            QStringLiteral("arrow.triangle.pull"), QStringLiteral("github.pullRequests"),
            QT_TRANSLATE_NOOP("SettingsPanes", "Review-Anfragen, Reviews, Kommentare und gemergte PRs als Meldung.") },
        { QStringLiteral("docker"), QT_TRANSLATE_NOOP("SettingsPanes", "Docker"), QStringLiteral("shippingbox"),
            QStringLiteral("docker"),
            QT_TRANSLATE_NOOP("SettingsPanes", "Container mit Status. Start und Stop per Klick.") },
        { QStringLiteral("githubAccount"), QT_TRANSLATE_NOOP("SettingsPanes", "GitHub-Konto"),
            QStringLiteral("person.badge.key") },
        { QStringLiteral("updates"), QT_TRANSLATE_NOOP("SettingsPanes", "Updates"),
            QStringLiteral("arrow.down.circle") },
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
    return QCoreApplication::translate("SettingsPanes", info(pane).title);
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
    const char *note = info(pane).note;
    return note ? QCoreApplication::translate("SettingsPanes", note) : QString();
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
