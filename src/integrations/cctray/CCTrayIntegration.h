#pragma once

#include "core/Integration.h"
#include "integrations/cctray/CCTrayFeeds.h"
#include "services/IntegrationContext.h"

#include <memory>

// CI servers read through their cctray feeds: the feeds with their credentials and their pane
// ("CI-Server"), where feeds are added and their projects chosen. Its rows open the http and https
// pages the feeds name for their projects.
class CCTrayIntegration final : public Integration {
    Q_OBJECT
public:
    static inline const QString paneName = QStringLiteral("ci.feeds.servers");

    explicit CCTrayIntegration(const IntegrationContext &context, QObject *parent = nullptr);

    CCTrayFeeds &feeds() { return *m_feeds; }
    void adopt(std::unique_ptr<DevModule> module) { addModule(std::move(module)); }

    QList<IntegrationPane> panes() const override;
    bool mayOpen(const QUrl &url) const override;
    // Reads the feeds' credentials, without waiting.
    void start() override { m_feeds->readSecrets(); }
    void secretStoreAppeared() override { m_feeds->readSecrets(); }

private:
    const std::unique_ptr<CCTrayFeeds> m_feeds;
};
