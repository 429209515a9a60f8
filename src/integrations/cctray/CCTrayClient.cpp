#include "integrations/cctray/CCTrayClient.h"

#include "integrations/cctray/CCTrayLogging.h"
#include "services/ReplyBound.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QSslConfiguration>

#include <algorithm>
#include <memory>

namespace {

constexpr int maximumRedirects = 5;
// A wait a server asks for is held to an hour: the feed is asked again then at the latest.
constexpr double longestWait = 3600;

QString logName(const QUrl &url)
{
    return url.adjusted(QUrl::RemoveScheme | QUrl::RemoveUserInfo | QUrl::RemoveQuery | QUrl::RemoveFragment)
        .toString()
        .mid(2);
}

} // namespace

QString CCTrayFailure::text() const
{
    switch (kind) {
    case Kind::Network:
        return tr("Server nicht erreichbar.");
    case Kind::TimedOut:
        return tr("Der Server antwortet nicht.");
    case Kind::Http:
        if (status == 401 || status == 403)
            return tr("Der Server verweigert den Zugang (HTTP %1).").arg(status);
        if (status == 404)
            return tr("Kein Feed unter dieser Adresse (HTTP 404).");
        return tr("Der Server antwortet mit HTTP %1.").arg(status);
    case Kind::TooLarge:
        return tr("Der Feed ist zu groß.");
    case Kind::Malformed:
        return tr("Die Antwort ist kein cctray-Feed.");
    case Kind::Redirected:
        return tr("Weiterleitung auf einen anderen Server abgelehnt.");
    case Kind::WaitAsked:
        return tr("Der Server bittet zu warten.");
    }
    return {};
}

// One request with its redirects, alive for as long as its transfers are.
struct CCTrayClient::Transfer {
    QPointer<QNetworkAccessManager> network;
    Options options;
    CCTrayFeedAddress feed;
    QByteArray authorization;
    HttpValidators::Headers conditions;
    CancelHandle request;
    Done done;

    void deliver(const Result &result)
    {
        if (request.finish())
            done(result);
    }

    // Where a redirect may lead: the feed's origin, or for an http feed its host over https.
    bool mayFollow(const QUrl &target) const
    {
        if (feed.isOnOrigin(target))
            return true;
        return !feed.isEncrypted() && target.scheme() == u"https"
            && target.host().compare(feed.url.host(), Qt::CaseInsensitive) == 0;
    }

    static void run(const std::shared_ptr<Transfer> &self, const QUrl &url, int redirectsLeft)
    {
        if (!self->network)
            return;
        QNetworkRequest httpRequest(url);
        httpRequest.setRawHeader("Accept", "application/xml, text/xml;q=0.9, */*;q=0.1");
        httpRequest.setHeader(QNetworkRequest::UserAgentHeader, QByteArrayLiteral("Tarnlet/" TARNLET_VERSION));
        if (!self->authorization.isEmpty())
            httpRequest.setRawHeader("Authorization", self->authorization);
        for (const auto &[name, value] : self->conditions)
            httpRequest.setRawHeader(name, value);
        httpRequest.setTransferTimeout(self->options.transferTimeoutMs);
        httpRequest.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
        if (!self->options.extraTrustedCertificates.isEmpty()) {
            QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
            configuration.addCaCertificates(self->options.extraTrustedCertificates);
            httpRequest.setSslConfiguration(configuration);
        }
        qCDebug(lcCCTray).noquote() << "GET" << logName(url) << (self->conditions.isEmpty() ? "" : "(conditional)");
        QNetworkReply *reply = self->network->get(httpRequest);
        const std::shared_ptr<bool> tooLarge = boundReply(reply, self->request, self->options.maximumBodySize);
        QObject::connect(reply, &QNetworkReply::finished, reply, [self, reply, url, tooLarge, redirectsLeft] {
            reply->deleteLater();
            if (!self->request.isPending())
                return;
            self->finished(*reply, url, *tooLarge, redirectsLeft);
        });
    }

    void finished(QNetworkReply &reply, const QUrl &url, bool tooLarge, int redirectsLeft)
    {
        using Kind = CCTrayFailure::Kind;
        if (tooLarge)
            return deliver(CCTrayFailure { Kind::TooLarge });
        const QVariant statusAttribute = reply.attribute(QNetworkRequest::HttpStatusCodeAttribute);
        if (!statusAttribute.isValid()) {
            qCDebug(lcCCTray).noquote() << "GET" << logName(url) << "failed: network error" << reply.error();
            const bool timedOut = reply.error() == QNetworkReply::OperationCanceledError
                || reply.error() == QNetworkReply::TimeoutError;
            return deliver(CCTrayFailure { timedOut ? Kind::TimedOut : Kind::Network });
        }
        const int status = statusAttribute.toInt();
        qCDebug(lcCCTray).noquote() << "GET" << logName(url) << "answered" << status;
        if (status >= 301 && status <= 308 && status != 304 && reply.hasRawHeader("Location")) {
            const QUrl target = url.resolved(QUrl::fromEncoded(reply.rawHeader("Location")));
            if (!mayFollow(target))
                return deliver(CCTrayFailure { Kind::Redirected });
            if (redirectsLeft == 0)
                return deliver(CCTrayFailure { Kind::Http, status });
            return run(shared(), target, redirectsLeft - 1);
        }
        if (status == 429 || status == 503) {
            bool ok = false;
            const double wait = reply.rawHeader("Retry-After").trimmed().toDouble(&ok);
            if (ok && wait >= 0)
                return deliver(CCTrayFailure { Kind::WaitAsked, status, std::clamp(wait, 1.0, longestWait) });
        }
        if (status == 304 && !conditions.isEmpty())
            return deliver(CCTrayAnswer { true, {}, HttpValidators::from(reply.rawHeaderPairs()) });
        if (status < 200 || status > 299)
            return deliver(CCTrayFailure { Kind::Http, status });
        if (reply.error() != QNetworkReply::NoError)
            return deliver(CCTrayFailure { Kind::Network });
        try {
            return deliver(CCTrayAnswer {
                false, CCTrayFeed::decode(reply.readAll()), HttpValidators::from(reply.rawHeaderPairs()) });
        } catch (const CCTrayDecodeError &error) {
            qCDebug(lcCCTray).noquote() << "GET" << logName(url) << "is no feed:" << error.what();
            return deliver(CCTrayFailure { Kind::Malformed });
        }
    }

    std::shared_ptr<Transfer> shared();
    std::weak_ptr<Transfer> weakSelf;
};

std::shared_ptr<CCTrayClient::Transfer> CCTrayClient::Transfer::shared()
{
    return weakSelf.lock();
}

CCTrayClient::CCTrayClient(QNetworkAccessManager &network, Options options)
    : m_network(&network)
    , m_options(std::move(options))
{ }

CancelHandle CCTrayClient::fetch(const CCTrayFeedAddress &feed, const CCTrayCredentials &credentials,
    const HttpValidators &validators, Done done) const
{
    auto transfer = std::make_shared<Transfer>(Transfer {
        m_network, m_options, feed, {}, validators.conditions(), CancelHandle::create(), std::move(done), {} });
    transfer->weakSelf = transfer;
    // Credentials only where they travel encrypted or stay on this computer.
    if (!credentials.user.isEmpty() && feed.mayCarryCredentials())
        transfer->authorization = "Basic " + (credentials.user + u':' + credentials.password).toUtf8().toBase64();
    const QUrl url = feed.mayCarryCredentials() ? feed.requestUrl(credentials) : feed.url;
    Transfer::run(transfer, url, maximumRedirects);
    return transfer->request;
}
