#include "integrations/gitlab/GitLabErrorText.h"

#include "integrations/gitlab/GitLabCredentials.h"
#include "services/TokenState.h"

namespace {

const QString service = QStringLiteral("GitLab");

} // namespace

QString GitLabErrorText::of(const ApiError &error, Asked asked)
{
    const bool http = error.kind() == ApiError::Kind::Http;
    if (error.kind() == ApiError::Kind::MissingToken)
        return tr("Kein GitLab-Token hinterlegt.");
    if (http && error.statusCode() == 401)
        return TokenState::refusedText(service);
    if (error.kind() == ApiError::Kind::RateLimited)
        return tr("GitLab nimmt gerade keine weiteren Anfragen an.");
    if (error.kind() == ApiError::Kind::Transport)
        return tr("GitLab ist nicht erreichbar.");
    if (error.kind() == ApiError::Kind::Refused)
        return tr("Anfrage abgewiesen: sie führte weg vom GitLab-Server.");
    switch (asked) {
    case Asked::Pipelines:
        if (http && error.statusCode() == 404)
            return tr("Projekt nicht gefunden oder kein Zugriff");
        return tr("Pipelines konnten nicht geladen werden.");
    case Asked::Command:
        if (http && (error.statusCode() == 403 || error.statusCode() == 404))
            return tr("Der Token darf das nicht (Scope api und mindestens die Rolle Developer nötig).");
        break;
    case Asked::Todos:
        if (http && error.statusCode() == 403)
            return tr("Der Token darf die To-dos nicht lesen (Scope read_api oder api nötig).");
        return tr("To-dos konnten nicht geladen werden.");
    case Asked::Account:
        break;
    }
    if (http)
        return tr("GitLab antwortet mit Status %1.").arg(error.statusCode());
    return tr("GitLab gibt keine verwertbare Antwort.");
}

std::optional<QString> GitLabErrorText::problemText(const GitLabCredentials &credentials)
{
    return TokenState::problemText(credentials, service);
}

QString GitLabErrorText::resolvingPane(const GitLabCredentials &credentials)
{
    return TokenState::resolvingPane(credentials, accountPane);
}
