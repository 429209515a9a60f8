#include "integrations/github/GitHubTokenState.h"

#include "core/LocalTime.h"
#include "integrations/github/GitHubCredentials.h"

#include <QCoreApplication>

namespace GitHubTokenState {

std::optional<QString> problemText(const GitHubCredentials &credentials)
{
    if (credentials.isReading())
        return readingText();
    if (credentials.isStoreUnavailable())
        return storeUnavailableText();
    if (credentials.isRefused())
        return refusedText();
    if (const std::optional<qint64> left = credentials.limitRemaining())
        return limitText(QDateTime::currentDateTime().addSecs(*left));
    return std::nullopt;
}

QString resolvingPane(const GitHubCredentials &credentials)
{
    if (credentials.isReading())
        return {};
    return !credentials.token() || credentials.isRefused() || credentials.isStoreUnavailable() ? QString(accountPane)
                                                                                               : QString();
}

QString readingText()
{
    return QCoreApplication::translate("GitHubTokenState", "Token wird aus dem Schlüsselbund gelesen …");
}

QString refusedText()
{
    return QCoreApplication::translate("GitHubCredentials", "GitHub lehnt den Token ab (abgelaufen oder widerrufen)");
}

QString storeUnavailableText()
{
    return QCoreApplication::translate("GitHubCredentials", "Schlüsselbund nicht verfügbar");
}

QString limitText(const QDateTime &until)
{
    return QCoreApplication::translate("GitHubCredentials", "GitHub-Limit erreicht – weiter um %1")
        .arg(shortLocalTime(until));
}

} // namespace GitHubTokenState
