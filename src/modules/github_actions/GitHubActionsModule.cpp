#include "modules/github_actions/GitHubActionsModule.h"

#include <QPointer>

#include <algorithm>
#include <cmath>

namespace {

bool isActive(const WorkflowRun &run)
{
    return run.status == u"queued" || run.status == u"in_progress";
}

} // namespace

GitHubActionsModule::GitHubActionsModule(
    QString repo, std::unique_ptr<GitHubApi> client, Scheduler &scheduler, QObject *parent)
    : DevModule(parent)
    , m_repo(std::move(repo))
    , m_client(std::move(client))
    , m_scheduler(scheduler)
{ }

GitHubActionsModule::~GitHubActionsModule()
{
    cancel();
}

Color GitHubActionsModule::color(const WorkflowRun &run)
{
    if (isActive(run))
        return Color::orange();
    if (!run.conclusion)
        return Color::gray();
    if (*run.conclusion == u"success")
        return Color::green();
    if (*run.conclusion == u"failure" || *run.conclusion == u"timed_out" || *run.conclusion == u"startup_failure")
        return Color::red();
    return Color::gray();
}

std::optional<ModuleStatus> GitHubActionsModule::compactStatus() const
{
    if (m_runs.isEmpty())
        return std::nullopt;
    const WorkflowRun &run = m_runs.first();
    QStringList parts;
    if (run.name)
        parts.append(*run.name);
    if (run.headBranch)
        parts.append(*run.headBranch);
    return ModuleStatus { parts.join(QStringLiteral(" \u00B7 ")), color(run) };
}

void GitHubActionsModule::start()
{
    cancel();
    poll();
}

void GitHubActionsModule::stop()
{
    cancel();
}

void GitHubActionsModule::cancel()
{
    m_nextPoll.cancel();
    m_request.abort();
}

void GitHubActionsModule::poll()
{
    m_request = m_client->workflowRuns(m_repo, pageSize, [guard = QPointer(this)](const auto &result) {
        if (guard)
            guard->finishPoll(result);
    });
}

void GitHubActionsModule::finishPoll(const GitHubResult<QList<WorkflowRun>> &result)
{
    m_request = {};
    if (result.isOk()) {
        Q_EMIT willChange();
        m_runs = result.value();
        Q_EMIT willChange();
        m_errorText.reset();
    } else {
        Q_EMIT willChange();
        m_errorText = result.error().kind() == GitHubError::Kind::MissingToken
            ? QStringLiteral("Kein GitHub-Token hinterlegt.")
            : QStringLiteral("L\u00E4ufe konnten nicht geladen werden.");
    }
    m_nextPoll = m_scheduler.schedule(nextPollDelay(), [guard = QPointer(this)] {
        if (guard)
            guard->poll();
    });
}

double GitHubActionsModule::nextPollDelay()
{
    if (!m_errorText) {
        m_consecutiveFailures = 0;
        return std::any_of(m_runs.begin(), m_runs.end(), isActive) ? 15 : 60;
    }
    ++m_consecutiveFailures;
    const int exponent = std::min(m_consecutiveFailures - 1, 4);
    return std::min(60.0 * std::pow(2.0, exponent), 600.0);
}
