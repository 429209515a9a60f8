#include "services/GitHubRepository.h"

#include "core/prefs/AppPreferences.h"
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

QStringList GitHubRepository::watched(const PreferenceStore &preferences)
{
    QStringList repositories;
    for (const QString &entry :
        preferences.stringListValue(AppPreferences::gitHubRepositories).value_or(QStringList())) {
        const auto normalized = normalize(entry);
        const QString *name = std::get_if<QString>(&normalized);
        if (name && !repositories.contains(*name, Qt::CaseInsensitive))
            repositories.append(*name);
        if (repositories.size() == maximumCount)
            break;
    }
    return repositories;
}

void GitHubRepository::follow(
    const PreferenceStore &preferences, QObject *context, std::function<void(const QStringList &)> changed)
{
    QObject::connect(&preferences, &PreferenceStore::valueChanged, context,
        [&preferences, last = watched(preferences), changed = std::move(changed)](const QString &key) mutable {
            if (key != AppPreferences::gitHubRepositories)
                return;
            QStringList wanted = watched(preferences);
            if (wanted == last)
                return;
            last = std::move(wanted);
            changed(last);
        });
}

ModuleListSetting GitHubRepository::listSetting()
{
    return ModuleListSetting { AppPreferences::gitHubRepositories,
        QCoreApplication::translate("GitHubRepository", "Repositories"),
        QCoreApplication::translate("GitHubRepository", "Repository hinzufügen"), maximumCount, &normalize };
}
