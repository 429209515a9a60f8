#include "integrations/gitlab/GitLabProjects.h"

#include "core/prefs/PreferenceStore.h"
#include "integrations/gitlab/GitLabServer.h"

#include <QCoreApplication>
#include <QRegularExpression>

namespace {

const QString mutedOption = QStringLiteral("muted");
const QString branchOption = QStringLiteral("branch");

// Parts of letters, digits, "-", "_" and "." joined by slashes, at least two; a part of dots alone
// ("..") would walk the request path up instead of naming a project.
bool isProjectPath(const QString &text)
{
    static const QRegularExpression form(QStringLiteral("^[A-Za-z0-9_.-]+(/[A-Za-z0-9_.-]+)+$"));
    static const QRegularExpression dotsOnly(QStringLiteral("(^|/)\\.+(/|$)"));
    return text.size() <= 255 && form.match(text).hasMatch() && !dotsOnly.match(text).hasMatch();
}

// "https://<server>/group/project(.git)(/-/page…)" reduced to "group/project"; other text, an
// address on another host among it, stays as it is.
QString withoutAddress(const QString &text, const GitLabServer &server)
{
    const QUrl url(text, QUrl::StrictMode);
    const QUrl origin = server.webOrigin();
    if (!url.isValid() || (url.scheme() != u"https" && url.scheme() != u"http") || url.host() != origin.host()
        || url.port(443) != origin.port(443) || !url.userInfo().isEmpty())
        return text;
    QString path = url.path(QUrl::FullyEncoded).mid(1);
    if (const qsizetype pages = path.indexOf(QStringLiteral("/-/")); pages >= 0)
        path.truncate(pages);
    while (path.endsWith(u'/'))
        path.chop(1);
    return path.endsWith(u".git", Qt::CaseInsensitive) ? path.chopped(4) : path;
}

} // namespace

ModuleListSetting::Normalized GitLabProjects::normalize(const QString &input, const GitLabServer &server)
{
    const QString text = input.trimmed();
    if (text.isEmpty())
        return ModuleListSetting::Refusal { QCoreApplication::translate(
            "GitLabProjects", "Bitte ein Projekt eingeben.") };
    const QString path = withoutAddress(text, server);
    if (!isProjectPath(path))
        return ModuleListSetting::Refusal { QCoreApplication::translate(
            "GitLabProjects", "Erwartet wird gruppe/projekt (Buchstaben, Ziffern, „-“, „_“, „.“).") };
    return path;
}

bool GitLabProjects::isPath(const QString &text)
{
    return isProjectPath(text);
}

ModuleListSetting GitLabProjects::listSetting(const PreferenceStore &preferences)
{
    ModuleListSetting setting { listKey, QCoreApplication::translate("GitLabProjects", "Projekte"),
        QCoreApplication::translate("GitLabProjects", "Projekt hinzufügen"), maximumCount,
        [&preferences](const QString &input) { return normalize(input, GitLabServer::stored(preferences)); } };
    setting.optionsKey = optionsKey;
    using Kind = ModuleListSetting::Option::Kind;
    setting.options = {
        { mutedOption, QCoreApplication::translate("GitLabProjects", "Stumm"), Kind::Switch },
        { branchOption, QCoreApplication::translate("GitLabProjects", "Branch"), Kind::Text },
    };
    return setting;
}

GitLabProjects::Options GitLabProjects::options(const PreferenceStore &preferences, const QString &path)
{
    const QVariantMap stored = listSetting(preferences).optionsOf(preferences, path);
    return Options { ModuleListSetting::switchOf(stored, mutedOption),
        ModuleListSetting::textOf(stored, branchOption).trimmed() };
}
