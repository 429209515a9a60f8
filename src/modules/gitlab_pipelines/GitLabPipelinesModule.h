#pragma once

#include "core/DevModule.h"
#include "core/EventBus.h"
#include "core/Scheduler.h"
#include "integrations/gitlab/GitLabClient.h"
#include "services/WatchList.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

class GitLabCredentials;
class PreferenceStore;
class RecentNames;

// Watches the latest pipelines of the GitLab projects the user chose (the preference
// "gitlab.projects", followed as it changes), each on its default branch or the branch the user
// set for it. Each project has a watcher of its own: its project asked once, then its pipelines
// every 15 s while one is under way, every 60 s otherwise, backing off from 60 s up to 600 s after
// failed polls; every pause is the account's budget's to stretch. The status line is the pipeline
// that most needs attention; a pipeline that fails, or passes again after a failure, is announced on
// the event bus unless its project is muted. In the pane a failed pipeline can be retried and an
// unfinished one cancelled. Without projects it asks nothing and shows nothing.
class GitLabPipelinesModule final : public DevModule {
    Q_OBJECT
public:
    GitLabPipelinesModule(PreferenceStore &preferences, EventBus &bus, std::unique_ptr<GitLabClient> client,
        const GitLabCredentials &credentials, Scheduler &scheduler, QObject *parent = nullptr);
    ~GitLabPipelinesModule() override;

    QString id() const override { return QStringLiteral("gitlab.pipelines"); }
    QString title() const override { return tr("GitLab-Pipelines"); }
    QString symbol() const override { return QStringLiteral("gearshape.2"); }
    QString description() const override
    {
        return tr("Neueste Pipeline jedes Projekts auf seinem Standard-Branch. Ein Klick öffnet sie.");
    }
    std::optional<ModuleStatus> compactStatus() const override;
    void start() override;
    void stop() override;

    std::optional<QString> errorText() const override;
    QList<ModuleRow> overlayRows() const override;
    QList<ModuleDetail> details() const override;
    std::optional<ModuleListSetting> listSetting() const override;
    QList<ModuleNewsKind> newsKinds() const override;
    // Projects whose newest pipeline failed, and pipelines not yet finished.
    ModuleCounts counts() const override;

private:
    struct Watch;

    void follow(const QStringList &wanted);
    void followOptions();
    CancelHandle poll(Watch &watch);
    void receive(Watch &watch, const ApiResult<Polled<QList<GitLabPipeline>>> &result);
    ModuleRow rowFor(const Watch &watch) const;
    std::optional<QString> problemFor(const Watch &watch) const;
    QList<ModuleCommand> commandsFor(const Watch &watch, const GitLabPipeline &pipeline) const;
    void send(const QString &path, qint64 pipelineId, GitLabClient::PipelineCommand command);

    PreferenceStore &m_preferences;
    EventBus &m_bus;
    const std::unique_ptr<GitLabClient> m_client;
    const GitLabCredentials &m_credentials;
    Scheduler &m_scheduler;
    WatchList<Watch> m_watches;
    const std::unique_ptr<RecentNames> m_suggestions;
};
