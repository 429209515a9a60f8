#include "services/TokenState.h"

#include "core/LocalTime.h"
#include "services/ApiCredentials.h"

#include <QCoreApplication>

namespace TokenState {

std::optional<QString> problemText(const ApiCredentials &credentials, const QString &service)
{
    if (credentials.isReading())
        return readingText();
    if (credentials.isStoreUnavailable())
        return storeUnavailableText();
    if (credentials.isRefused())
        return refusedText(service);
    if (const std::optional<qint64> left = credentials.limitRemaining())
        return limitText(service, QDateTime::currentDateTime().addSecs(*left));
    return std::nullopt;
}

QString resolvingPane(const ApiCredentials &credentials, const QString &accountPane)
{
    if (credentials.isReading())
        return {};
    return !credentials.token() || credentials.isRefused() || credentials.isStoreUnavailable() ? accountPane
                                                                                               : QString();
}

QString readingText()
{
    return QCoreApplication::translate("TokenState", "Token wird aus dem Schlüsselbund gelesen …");
}

QString refusedText(const QString &service)
{
    return QCoreApplication::translate("TokenState", "%1 lehnt den Token ab (abgelaufen oder widerrufen)").arg(service);
}

QString storeUnavailableText()
{
    return QCoreApplication::translate("TokenState", "Schlüsselbund nicht verfügbar");
}

QString limitText(const QString &service, const QDateTime &until)
{
    return QCoreApplication::translate("TokenState", "%1-Limit erreicht – weiter um %2")
        .arg(service, shortLocalTime(until));
}

} // namespace TokenState
