#pragma once

#include "core/DevModule.h"
#include "integrations/cctray/CCTrayFeeds.h"

class EventBus;

// Watches the projects the user checked in the feeds of their CI servers (CCTrayFeeds, which
// polls them). A row per watched project: its name, its last build's label and state, aged by the
// last build's time, the dot red for a failed build and orange while one is under way; a click
// opens the project's page. A watched project whose build fails, or passes again after failing, is
// announced on the event bus; a feed's first answer after the start, or after it was added, only
// shows what is there. Without a feed the module shows nothing.
class CIFeedsModule final : public DevModule {
    Q_OBJECT
public:
    static inline const QString buildFailed = QStringLiteral("ciFeeds.buildFailed");
    static inline const QString buildFixed = QStringLiteral("ciFeeds.buildFixed");

    // `feedsPane` is the settings pane where feeds are added and projects checked.
    CIFeedsModule(EventBus &bus, CCTrayFeeds &feeds, QString feedsPane, QObject *parent = nullptr);

    QString id() const override { return QStringLiteral("ci.feeds"); }
    QString title() const override { return tr("CI-Feeds"); }
    QString symbol() const override { return QStringLiteral("gearshape.2"); }
    QString description() const override;
    // The watched project that most needs attention (failed, then under way), with its colour.
    std::optional<ModuleStatus> compactStatus() const override;
    void start() override { m_feeds.start(); }
    void stop() override { m_feeds.stop(); }
    std::optional<QString> errorText() const override;
    QList<ModuleRow> overlayRows() const override;
    // Per feed, why it cannot be read, then its watched projects.
    QList<ModuleDetail> details() const override;
    QList<ModuleNewsKind> newsKinds() const override;
    // Watched projects whose last build failed, and those building now.
    ModuleCounts counts() const override;

private:
    QList<ModuleRow> rowsOf(const CCTrayFeeds::Feed &feed) const;
    void announce(const QString &address, const QList<CCTrayProject> &before, bool first);

    EventBus &m_bus;
    CCTrayFeeds &m_feeds;
    const QString m_feedsPane;
};
