#pragma once

#include "core/DevModule.h"
#include "core/EventBus.h"
#include "core/Scheduler.h"
#include "integrations/github/GitHubApi.h"
#include "services/WatchList.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

class GitHubCredentials;
class PreferenceStore;
class RecentRepositories;

// Watches the newest GitHub Actions workflow runs of every repository the user chose (the
// preference "github.repositories", followed as it changes), only those of the branches and the
// workflow the user chose for it. Each repository has a watcher of its own: every 15 s while one of
// its runs is queued or in progress, every 60 s otherwise, backing off from 60 s up to 600 s after
// failed polls. The status line is the run that most needs attention; a run that fails, or succeeds
// again after a failure, is announced on the event bus unless its repository is muted. In the pane
// a failed run's failed jobs can be re-run and an unfinished run cancelled.
class GitHubActionsModule final : public DevModule {
    Q_OBJECT
public:
    GitHubActionsModule(PreferenceStore &preferences, EventBus &bus, std::unique_ptr<GitHubApi> client,
        const GitHubCredentials &credentials, Scheduler &scheduler, QObject *parent = nullptr);
    ~GitHubActionsModule() override;

    QString id() const override { return QStringLiteral("github.actions"); }
    QString title() const override { return QStringLiteral("GitHub Actions"); }
    QString symbol() const override { return QStringLiteral("gearshape.2"); }
    QString description() const override { return tr("Neueste Workflow-Läufe des Repos. Ein Klick öffnet das Log."); }
    // The name and branch of the run that most needs attention, in its colour; none before the
    // first successful poll. A later failure leaves it as it was; a refused token replaces it.
    std::optional<ModuleStatus> compactStatus() const override;
    // Polls every repository at once, then keeps polling; polls in flight are dropped first.
    void start() override;
    // Drops the polls in flight and the next ones; runs, error texts and back-off stay.
    void stop() override;

    std::optional<QString> errorText() const override;
    // One row per watched repository: its newest run, or why there is none (a row that needs a
    // token, or names a repository GitHub does not find, opens the pane that resolves it).
    QList<ModuleRow> overlayRows() const override;
    // Per repository, its newest runs (up to five), each opening its page, with the command its
    // state allows and why that command last failed.
    QList<ModuleDetail> details() const override;
    std::optional<ModuleListSetting> listSetting() const override;
    QList<ModuleNewsKind> newsKinds() const override;
    // The failed and unfinished runs of the last answers, as the status line weighs them.
    ModuleCounts counts() const override;

    // The watched repositories, in the user's order.
    QStringList repositories() const;
    // The runs of `repo`'s last successful poll that its filters let through (the name in any
    // case), in the answer's order.
    QList<WorkflowRun> runs(const QString &repo) const;

private:
    struct Watch;

    // Every repository's runs of its last answer, in the user's order.
    QList<QList<WorkflowRun>> answers() const;

    void follow(const QStringList &wanted);
    // Takes each repository's branches and workflow as now stored; one whose choice changed starts
    // afresh, its first answer only recorded.
    void followFilters();
    CancelHandle poll(Watch &watch);
    // Stores one answer and tells the repository's watcher when to poll next.
    void receive(Watch &watch, const GitHubResult<Polled<QList<WorkflowRun>>> &result);
    ModuleRow rowFor(const Watch &watch) const;
    QList<ModuleCommand> commandsFor(const Watch &watch, const WorkflowRun &run) const;
    // Sends `command` for a run of `repo`, unless one is under way for it; once GitHub took it
    // the repository is polled at once, a refusal is shown beside the run (and not sent again).
    void send(const QString &repo, qint64 runId, GitHubApi::RunCommand command);

    PreferenceStore &m_preferences;
    EventBus &m_bus;
    const std::unique_ptr<GitHubApi> m_client;
    const GitHubCredentials &m_credentials;
    Scheduler &m_scheduler;
    WatchList<Watch> m_watches;
    const std::unique_ptr<RecentRepositories> m_suggestions;
};
