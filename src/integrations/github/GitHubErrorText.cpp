#include "integrations/github/GitHubErrorText.h"

#include "integrations/github/GitHubTokenState.h"

#include <QNetworkReply>

namespace {

// For the update check's message: full sentences that say what to do.
QString releaseText(const GitHubError &error)
{
    const char *const throttled = QT_TRANSLATE_NOOP(
        "GitHubErrorText", "GitHub nimmt gerade keine weiteren Anfragen an. Bitte versuche es später noch einmal.");
    switch (error.kind()) {
    case GitHubError::Kind::Transport:
        if (error.statusCode() == QNetworkReply::SslHandshakeFailedError)
            return GitHubErrorText::tr(
                "Die sichere Verbindung zu GitHub ist fehlgeschlagen. Bitte versuche es später noch einmal.");
        if (error.statusCode() == QNetworkReply::RemoteHostClosedError)
            return GitHubErrorText::tr(
                "Die Verbindung zu GitHub ist abgebrochen. Bitte versuche es später noch einmal.");
        return GitHubErrorText::tr(
            "GitHub ist nicht erreichbar. Bitte prüfe die Internetverbindung und versuche es später noch einmal.");
    case GitHubError::Kind::RateLimited:
        return GitHubErrorText::tr(throttled);
    case GitHubError::Kind::Http:
        if (error.statusCode() == 403 || error.statusCode() == 429)
            return GitHubErrorText::tr(throttled);
        if (error.statusCode() >= 500)
            return GitHubErrorText::tr(
                "GitHub hat gerade eine Störung (Status %1). Bitte versuche es später noch einmal.")
                .arg(error.statusCode());
        return GitHubErrorText::tr("GitHub hat die Anfrage abgelehnt (Status %1).").arg(error.statusCode());
    default: // too large, not an HTTP answer, not a release, or led away from the API
        return GitHubErrorText::tr(
            "GitHub hat eine unverständliche Antwort geschickt. Bitte versuche es später noch einmal.");
    }
}

} // namespace

QString GitHubErrorText::of(const GitHubError &error, Asked asked)
{
    const bool http = error.kind() == GitHubError::Kind::Http;
    if (asked == Asked::Release)
        return releaseText(error);
    if (error.kind() == GitHubError::Kind::MissingToken)
        return tr("Kein GitHub-Token hinterlegt.");
    if (http && error.statusCode() == 401)
        return GitHubTokenState::refusedText();
    switch (asked) {
    case Asked::RunCommand:
        // On a private repository GitHub answers 404 rather than 403 where the token lacks the right.
        if (http && (error.statusCode() == 403 || error.statusCode() == 404))
            return tr("Der Token darf keine Läufe starten oder abbrechen (Berechtigung actions: write nötig).");
        if (error.kind() == GitHubError::Kind::RateLimited)
            return releaseText(error);
        [[fallthrough]];
    case Asked::Account:
        if (error.kind() == GitHubError::Kind::Transport)
            return tr("GitHub ist nicht erreichbar.");
        if (http)
            return tr("GitHub antwortet mit Status %1.").arg(error.statusCode());
        return tr("GitHub gibt keine verwertbare Antwort.");
    case Asked::WorkflowRuns:
        if (http && error.statusCode() == 404)
            return tr("Repository nicht gefunden oder kein Zugriff");
        return tr("Läufe konnten nicht geladen werden.");
    case Asked::Notifications:
        // GitHub answers 403 to a fine-grained token and 404 to a classic one without the scope.
        if (http && (error.statusCode() == 403 || error.statusCode() == 404))
            return notificationsNeedClassicToken();
        break;
    case Asked::Release:
        break;
    }
    // Other failed polls of the notifications stay silent; the next poll tries again.
    return {};
}

QString GitHubErrorText::notificationsNeedClassicToken()
{
    return tr("GitHub-Meldungen brauchen ein klassisches Token mit dem Scope notifications oder repo.");
}
