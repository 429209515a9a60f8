#pragma once

#include "core/DevModule.h"
#include "core/Scheduler.h"
#include "services/GitHubApi.h"

#include <QList>
#include <QString>

#include <memory>
#include <optional>

// Watches the newest GitHub Actions workflow runs of one repository and condenses the first of
// them into a one-line status. Polls every 15 s while a run is queued or in progress, every 60 s
// otherwise, and backs off from 60 s up to 600 s after failed polls.
class GitHubActionsModule final : public DevModule {
    Q_OBJECT
public:
    static constexpr int pageSize = 10;

    GitHubActionsModule(
        QString repo, std::unique_ptr<GitHubApi> client, Scheduler &scheduler, QObject *parent = nullptr);
    ~GitHubActionsModule() override;

    QString id() const override { return QStringLiteral("github.actions"); }
    QString title() const override { return QStringLiteral("GitHub Actions"); }
    QString symbol() const override { return QStringLiteral("gearshape.2"); }
    // The first run's name and branch joined by " · ", coloured by its state; none before the
    // first successful poll. A later failure leaves it as it was.
    std::optional<ModuleStatus> compactStatus() const override;
    // Polls at once, then keeps polling; a poll in flight is dropped first.
    void start() override;
    // Drops the poll in flight and the next one; runs, error text and back-off stay.
    void stop() override;

    // The runs of the last successful poll, in the answer's order.
    const QList<WorkflowRun> &runs() const { return m_runs; }
    // Why the last poll failed, in German; none after a successful one.
    std::optional<QString> errorText() const override { return m_errorText; }

    static Color color(const WorkflowRun &run);

private:
    void poll();
    void finishPoll(const GitHubResult<QList<WorkflowRun>> &result);
    // The pause before the next poll, from the state the last poll left; counts failures.
    double nextPollDelay();
    void cancel();

    const QString m_repo;
    const std::unique_ptr<GitHubApi> m_client;
    Scheduler &m_scheduler;
    QList<WorkflowRun> m_runs;
    std::optional<QString> m_errorText;
    int m_consecutiveFailures = 0;
    GitHubRequest m_request;
    ScheduledJob m_nextPoll;
};
