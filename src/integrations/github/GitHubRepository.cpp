#include "integrations/github/GitHubRepository.h"

#include "core/prefs/PreferenceStore.h"
#include "integrations/github/GitHubServer.h"

#include <QCoreApplication>
#include <QRegularExpression>

namespace {

// Letters, digits, "-", "_" and "." on either side of one slash; a side of dots alone ("..")
// would walk the request path up instead of naming a repository.
bool isRepositoryName(const QString &text)
{
    static const QRegularExpression form(QStringLiteral("^([A-Za-z0-9_.-]+)/([A-Za-z0-9_.-]+)$"));
    static const QRegularExpression dotsOnly(QStringLiteral("^\\.+$"));
    const QRegularExpressionMatch match = form.match(text);
    return match.hasMatch() && !dotsOnly.match(match.captured(1)).hasMatch()
        && !dotsOnly.match(match.captured(2)).hasMatch();
}

// "https://<server>/owner/name(.git)(/page…)" reduced to "owner/name" (github.com also with
// "www."); other text, an address on another host among it, stays as it is.
QString withoutAddress(const QString &text, const GitHubServer &server)
{
    const QUrl url(text, QUrl::StrictMode);
    const QUrl origin = server.webOrigin();
    const bool onServer = url.host() == origin.host() || (server.isPublic() && url.host() == u"www.github.com");
    if (!url.isValid() || (url.scheme() != u"https" && url.scheme() != u"http") || !onServer
        || url.port(443) != origin.port(443) || !url.userInfo().isEmpty())
        return text;
    const QStringList path = url.path(QUrl::FullyEncoded).split(u'/');
    if (path.size() < 3 || path[1].isEmpty() || path[2].isEmpty())
        return text;
    const QString &name = path[2];
    return path[1] + u'/' + (name.endsWith(u".git", Qt::CaseInsensitive) ? name.chopped(4) : name);
}

} // namespace

ModuleListSetting::Normalized GitHubRepository::normalize(const QString &input, const GitHubServer &server)
{
    const QString text = input.trimmed();
    if (text.isEmpty())
        return ModuleListSetting::Refusal { QCoreApplication::translate(
            "GitHubRepository", "Bitte ein Repository eingeben.") };
    const QString name = withoutAddress(text, server);
    if (!isRepositoryName(name))
        return ModuleListSetting::Refusal { QCoreApplication::translate(
            "GitHubRepository", "Erwartet wird owner/name (Buchstaben, Ziffern, „-“, „_“, „.“).") };
    return name;
}

bool GitHubRepository::isName(const QString &text)
{
    // A name is no address, so any server will do.
    const ModuleListSetting::Normalized normalized = normalize(text, GitHubServer());
    const QString *name = std::get_if<QString>(&normalized);
    return name && *name == text;
}

QStringList GitHubRepository::watched(const PreferenceStore &preferences)
{
    // The same reading the list editor shows.
    return listSetting(preferences).used(preferences);
}

void GitHubRepository::follow(
    const PreferenceStore &preferences, QObject *context, std::function<void(const QStringList &)> changed)
{
    QObject::connect(&preferences, &PreferenceStore::valueChanged, context,
        [&preferences, last = watched(preferences), changed = std::move(changed)](const QString &key) mutable {
            if (key != listKey)
                return;
            QStringList wanted = watched(preferences);
            if (wanted == last)
                return;
            last = std::move(wanted);
            changed(last);
        });
}

namespace {

const QString mutedOption = QStringLiteral("muted");
const QString branchesOption = QStringLiteral("branches");
const QString workflowOption = QStringLiteral("workflow");

} // namespace

ModuleListSetting GitHubRepository::listSetting(const PreferenceStore &preferences)
{
    ModuleListSetting setting { listKey, QCoreApplication::translate("GitHubRepository", "Repositories"),
        QCoreApplication::translate("GitHubRepository", "Repository hinzufügen"), maximumCount,
        [&preferences](const QString &input) { return normalize(input, GitHubServer::stored(preferences)); } };
    setting.optionsKey = optionsKey;
    using Kind = ModuleListSetting::Option::Kind;
    setting.options = {
        { mutedOption, QCoreApplication::translate("GitHubRepository", "Stumm"), Kind::Switch },
        { branchesOption, QCoreApplication::translate("GitHubRepository", "Branches"), Kind::Names },
        { workflowOption, QCoreApplication::translate("GitHubRepository", "Workflow"), Kind::Text },
    };
    return setting;
}

GitHubRepository::Options GitHubRepository::options(const PreferenceStore &preferences, const QString &repo)
{
    const QVariantMap stored = listSetting(preferences).optionsOf(preferences, repo);
    return Options { ModuleListSetting::switchOf(stored, mutedOption),
        ModuleListSetting::namesOf(stored, branchesOption), ModuleListSetting::textOf(stored, workflowOption) };
}

bool GitHubRepository::isMuted(const PreferenceStore &preferences, const QString &repo)
{
    return options(preferences, repo).muted;
}
