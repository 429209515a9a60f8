#include "integrations/github/GitHubRepository.h"

#include "core/prefs/PreferenceStore.h"

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

// "https://github.com/owner/name(.git)(/)" reduced to "owner/name"; other text stays as it is.
QString withoutAddress(const QString &text)
{
    static const QRegularExpression address(
        QStringLiteral("^https?://(www\\.)?github\\.com/([^/?#]+/[^/?#]+?)(\\.git)?/?$"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = address.match(text);
    return match.hasMatch() ? match.captured(2) : text;
}

} // namespace

ModuleListSetting::Normalized GitHubRepository::normalize(const QString &input)
{
    const QString text = input.trimmed();
    if (text.isEmpty())
        return ModuleListSetting::Refusal { QCoreApplication::translate(
            "GitHubRepository", "Bitte ein Repository eingeben.") };
    const QString name = withoutAddress(text);
    if (!isRepositoryName(name))
        return ModuleListSetting::Refusal { QCoreApplication::translate(
            "GitHubRepository", "Erwartet wird owner/name (Buchstaben, Ziffern, „-“, „_“, „.“).") };
    return name;
}

bool GitHubRepository::isName(const QString &text)
{
    const ModuleListSetting::Normalized normalized = normalize(text);
    const QString *name = std::get_if<QString>(&normalized);
    return name && *name == text;
}

QStringList GitHubRepository::watched(const PreferenceStore &preferences)
{
    // The same reading the list editor shows.
    return listSetting().used(preferences);
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

ModuleListSetting GitHubRepository::listSetting()
{
    ModuleListSetting setting { listKey, QCoreApplication::translate("GitHubRepository", "Repositories"),
        QCoreApplication::translate("GitHubRepository", "Repository hinzufügen"), maximumCount, &normalize };
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
    const QVariantMap stored = listSetting().optionsOf(preferences, repo);
    return Options { ModuleListSetting::switchOf(stored, mutedOption),
        ModuleListSetting::namesOf(stored, branchesOption), ModuleListSetting::textOf(stored, workflowOption) };
}

bool GitHubRepository::isMuted(const PreferenceStore &preferences, const QString &repo)
{
    return options(preferences, repo).muted;
}
