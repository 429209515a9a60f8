#include "integrations/cctray/CCTrayIntegration.h"

#include "integrations/cctray/CCTrayFeedsPane.h"

namespace {

CCTrayClient::Options optionsFor(const TestEndpoint &test)
{
    CCTrayClient::Options options;
    options.extraTrustedCertificates = test.trustedCertificates;
    return options;
}

} // namespace

CCTrayIntegration::CCTrayIntegration(const IntegrationContext &context, QObject *parent)
    : Integration(parent)
    , m_feeds(std::make_unique<CCTrayFeeds>(context.preferences, context.secrets, context.scheduler,
          CCTrayClient(context.network, optionsFor(context.testEndpoint))))
{ }

QList<IntegrationPane> CCTrayIntegration::panes() const
{
    CCTrayFeeds *feeds = m_feeds.get();
    return { { paneName, tr("CI-Server"), QStringLiteral("person.badge.key"),
        [feeds] { return new CCTrayFeedsPane(*feeds); } } };
}

bool CCTrayIntegration::mayOpen(const QUrl &url) const
{
    if (url.scheme() != u"https" && url.scheme() != u"http")
        return false;
    for (const CCTrayFeeds::Feed &feed : m_feeds->feeds()) {
        for (const CCTrayProject &project : feed.projects) {
            if (project.webUrl == url)
                return true;
        }
    }
    return false;
}
