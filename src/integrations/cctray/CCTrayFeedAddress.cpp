#include "integrations/cctray/CCTrayFeedAddress.h"

#include <QHostAddress>
#include <QJsonDocument>
#include <QJsonObject>

QString CCTrayCredentials::encode() const
{
    return QString::fromUtf8(QJsonDocument(
        QJsonObject { { QStringLiteral("query"), query }, { QStringLiteral("user"), user },
            { QStringLiteral("password"),
                password } }).toJson(QJsonDocument::Compact));
}

CCTrayCredentials CCTrayCredentials::decode(const QString &text)
{
    const QJsonObject object = QJsonDocument::fromJson(text.toUtf8()).object();
    return { object.value(u"query").toString(), object.value(u"user").toString(),
        object.value(u"password").toString() };
}

std::variant<std::pair<CCTrayFeedAddress, CCTrayCredentials>, CCTrayFeedAddress::Refusal> CCTrayFeedAddress::parse(
    const QString &input, const QString &user, const QString &password)
{
    const QUrl given(input.trimmed(), QUrl::StrictMode);
    if (!given.isValid() || given.host().isEmpty() || (given.scheme() != u"https" && given.scheme() != u"http"))
        return Refusal { tr("Bitte eine Adresse mit http:// oder https:// angeben.") };
    CCTrayCredentials credentials { given.query(QUrl::FullyEncoded), given.userName(QUrl::FullyDecoded),
        given.password(QUrl::FullyDecoded) };
    if (!user.trimmed().isEmpty())
        credentials.user = user.trimmed();
    if (!password.isEmpty())
        credentials.password = password;
    if (!credentials.password.isEmpty() && credentials.user.isEmpty())
        return Refusal { tr("Zum Passwort gehört ein Benutzername.") };
    QUrl kept = given.adjusted(QUrl::RemoveQuery | QUrl::RemoveFragment | QUrl::RemoveUserInfo);
    if (kept.path().isEmpty())
        kept.setPath(QStringLiteral("/"));
    CCTrayFeedAddress address { kept };
    // A query may carry a token: over plain http to another computer it would travel readable.
    if (!credentials.isEmpty() && !address.mayCarryCredentials())
        return Refusal { tr("Zugangsdaten gehen nur über https:// (oder an diesen Rechner). "
                            "Ein Feed über http:// wird ohne sie gelesen.") };
    return std::pair { address, credentials };
}

CCTrayFeedAddress CCTrayFeedAddress::stored(const QString &text)
{
    const auto parsed = parse(text);
    const auto *found = std::get_if<0>(&parsed);
    // Kept addresses carry no credentials; one that does was not written by Tarnlet.
    if (!found || !found->second.isEmpty() || found->first.text() != text)
        return {};
    return found->first;
}

bool CCTrayFeedAddress::isLoopback() const
{
    if (url.host().compare(u"localhost", Qt::CaseInsensitive) == 0)
        return true;
    const QHostAddress host(url.host());
    return !host.isNull() && host.isLoopback();
}

QString CCTrayFeedAddress::hostAndPath() const
{
    return url.adjusted(QUrl::RemoveScheme).toString(QUrl::FullyEncoded).mid(2);
}

QUrl CCTrayFeedAddress::requestUrl(const CCTrayCredentials &credentials) const
{
    QUrl request = url;
    if (!credentials.query.isEmpty())
        request.setQuery(credentials.query, QUrl::StrictMode);
    return request;
}

bool CCTrayFeedAddress::isOnOrigin(const QUrl &target) const
{
    return target.scheme() == url.scheme() && target.host().compare(url.host(), Qt::CaseInsensitive) == 0
        && target.port(target.scheme() == u"https" ? 443 : 80) == url.port(url.scheme() == u"https" ? 443 : 80);
}
