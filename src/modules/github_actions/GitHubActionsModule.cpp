#include "modules/github_actions/GitHubActionsModule.h"

#include "core/CommandLedger.h"
#include "core/prefs/PreferenceStore.h"
#include "integrations/github/GitHubCredentials.h"
#include "integrations/github/GitHubErrorText.h"
#include "integrations/github/GitHubRepository.h"
#include "integrations/github/GitHubTokenState.h"
#include "integrations/github/GitHubWatcher.h"
#include "integrations/github/RecentRepositories.h"
#include "modules/github_actions/RunFilter.h"
#include "modules/github_actions/WorkflowRunState.h"
#include "services/KeepWanted.h"

#include <QHash>
#include <QPointer>

#include <algorithm>

namespace {

constexpr int runsPerRepositoryInDetails = 5;

// A run as a line: "<workflow name> · <suffix>" over "<branch> · <state>", aged by its last update.
ModuleRow runRow(const WorkflowRun &run, const QString &titleSuffix)
{
    QStringList title;
    if (run.name)
        title.append(*run.name);
    if (!titleSuffix.isEmpty())
        title.append(titleSuffix);
    QStringList detail;
    if (const std::optional<QString> branch = WorkflowRunState::branch(run))
        detail.append(*branch);
    detail.append(WorkflowRunState::word(run));
    return ModuleRow { title.join(QStringLiteral(" \u00B7 ")), detail.join(QStringLiteral(" \u00B7 ")), run.updatedAt,
        WorkflowRunState::severity(run), run.htmlURL };
}

ModuleRow grayRow(const QString &title, const QString &detail)
{
    return ModuleRow { title, detail, std::nullopt, ModuleStatus::Severity::Idle, QUrl() };
}

// What a run's state lets the user ask of it: a failed run's failed jobs again, an unfinished run stopped.
std::optional<GitHubApi::RunCommand> commandFor(const WorkflowRun &run)
{
    if (WorkflowRunState::hasFailedJobs(run))
        return GitHubApi::RunCommand::RerunFailedJobs;
    if (WorkflowRunState::isActive(run))
        return GitHubApi::RunCommand::Cancel;
    return std::nullopt;
}

} // namespace

// One watched repository with its own watcher.
struct GitHubActionsModule::Watch {
    Watch(GitHubActionsModule &module, QString name)
        : repo(std::move(name))
        , shown(repo)
        , filter(GitHubRepository::options(module.m_preferences, repo))
        , watcher(repo, module.m_scheduler, module.m_credentials, [&module, this] { return module.poll(*this); })
    {
        // Runs and their ids belong to the token's server: another token or server starts afresh,
        // dropping the commands under way, and its first answer is only recorded.
        watcher.forgetOnNewToken([&module, this] {
            shown = repo;
            runs.clear();
            answered = false;
            commands.clear();
            Q_EMIT module.changed();
        });
    }

    const QString repo; // as the user wrote it
    QString shown; // as GitHub spells it, once an answer has named it
    RunFilter filter;
    QList<WorkflowRun> runs; // of the last successful poll, the chosen ones
    bool answered = false; // a poll has succeeded
    CommandLedger<qint64, GitHubApi::RunCommand> commands; // by run id
    // Last, so that it goes first and its request with it: no answer reaches a gone watch.
    GitHubWatcher watcher;

    QString shortName() const { return shown.section(u'/', 1); }
    // GitHub's spelling of the name, from runs that name their repository.
    void learnName(const QList<WorkflowRun> &answer)
    {
        for (const WorkflowRun &run : answer) {
            if (run.repository && run.repository->compare(repo, Qt::CaseInsensitive) == 0) {
                shown = *run.repository;
                return;
            }
        }
    }
    // Why the last poll failed.
    std::optional<QString> errorText() const
    {
        if (!watcher.error())
            return std::nullopt;
        return GitHubErrorText::of(*watcher.error(), GitHubErrorText::Asked::WorkflowRuns);
    }
};

GitHubActionsModule::GitHubActionsModule(PreferenceStore &preferences, EventBus &bus, std::unique_ptr<GitHubApi> client,
    const GitHubCredentials &credentials, Scheduler &scheduler, QObject *parent)
    : DevModule(parent)
    , m_preferences(preferences)
    , m_bus(bus)
    , m_client(std::move(client))
    , m_credentials(credentials)
    , m_scheduler(scheduler)
    , m_suggestions(std::make_unique<RecentRepositories>(*m_client, m_credentials))
{
    follow(GitHubRepository::watched(m_preferences));
    GitHubRepository::follow(m_preferences, this, [this](const QStringList &wanted) { follow(wanted); });
    connect(&m_preferences, &PreferenceStore::valueChanged, this, [this](const QString &key) {
        if (key == GitHubRepository::optionsKey)
            followFilters();
    });
    // The token's state shows in every row.
    connect(&m_credentials, &GitHubCredentials::changed, this, &DevModule::changed);
}

GitHubActionsModule::~GitHubActionsModule() = default;

void GitHubActionsModule::follow(const QStringList &wanted)
{
    // Repositories left out are dropped with their watchers and the polls they have in flight.
    const std::vector<Watch *> added = keepWanted(
        m_watches, wanted, [](const Watch &watch) { return watch.repo; },
        [this](const QString &name) { return std::make_unique<Watch>(*this, name); });
    if (m_running) {
        for (Watch *watch : added)
            watch->watcher.start();
    }
    Q_EMIT changed();
}

void GitHubActionsModule::followFilters()
{
    bool refiltered = false;
    for (const auto &watch : m_watches) {
        RunFilter filter(GitHubRepository::options(m_preferences, watch->repo));
        if (filter == watch->filter)
            continue; // muting alone asks nothing new
        watch->filter = std::move(filter);
        watch->runs.clear();
        watch->answered = false;
        refiltered = true;
        if (m_running)
            watch->watcher.start();
    }
    if (refiltered)
        Q_EMIT changed();
}

void GitHubActionsModule::start()
{
    m_running = true;
    for (const auto &watch : m_watches)
        watch->watcher.start();
}

void GitHubActionsModule::stop()
{
    m_running = false;
    for (const auto &watch : m_watches)
        watch->watcher.stop();
}

CancelHandle GitHubActionsModule::poll(Watch &watch)
{
    const RunFilter &filter = watch.filter;
    return m_client->workflowRuns(
        watch.repo, filter.asked(), filter.perPage(), [guard = QPointer(this), target = &watch](const auto &result) {
            if (guard)
                guard->receive(*target, result);
        });
}

void GitHubActionsModule::receive(Watch &watch, const GitHubResult<Polled<QList<WorkflowRun>>> &result)
{
    if (!result.isOk()) {
        if (watch.watcher.failed(result.error()))
            Q_EMIT changed();
        return;
    }
    // Every 15 s while a run is under way, which the budget stretches last; every 60 s otherwise.
    const auto succeeded = [&] {
        const bool active = std::any_of(watch.runs.cbegin(), watch.runs.cend(), WorkflowRunState::isActive);
        return watch.watcher.succeeded(active ? 15 : 60, !result.value().unchanged, active);
    };
    // Unchanged since the last answer: nothing to store and nothing to announce.
    if (result.value().unchanged && watch.answered) {
        if (succeeded())
            Q_EMIT changed();
        return;
    }
    const QList<WorkflowRun> previous = std::exchange(watch.runs, watch.filter.sift(result.value().value));
    // A refusal stays beside its run while the run still offers the command refused.
    watch.commands.keepRefusalsWhere([&](qint64 runId, GitHubApi::RunCommand command) {
        return std::any_of(watch.runs.cbegin(), watch.runs.cend(),
            [&](const auto &r) { return r.id == runId && commandFor(r) == command; });
    });
    watch.learnName(result.value().value);
    const bool firstAnswer = !std::exchange(watch.answered, true);
    succeeded();
    Q_EMIT changed();
    // The runs found by a repository's first answer were there before: only later ones are news.
    // A muted repository keeps its row up to date and says nothing.
    if (!firstAnswer && !GitHubRepository::isMuted(m_preferences, watch.repo)) {
        for (const WorkflowRunState::News &news : WorkflowRunState::finishedSince(previous, watch.runs))
            m_bus.publish(ModuleEvent { id(), news.text, news.severity, news.kind, news.page });
    }
}

QList<QList<WorkflowRun>> GitHubActionsModule::answers() const
{
    QList<QList<WorkflowRun>> answers;
    for (const auto &watch : m_watches)
        answers.append(watch->runs);
    return answers;
}

std::optional<ModuleStatus> GitHubActionsModule::compactStatus() const
{
    if (const std::optional<QString> problem = GitHubTokenState::problemText(m_credentials))
        return ModuleStatus { *problem, ModuleStatus::Severity::Idle };
    const std::optional<WorkflowRun> run = WorkflowRunState::mostNeedingAttention(answers());
    if (!run)
        return std::nullopt;
    return ModuleStatus { WorkflowRunState::nameAndBranch(*run), WorkflowRunState::severity(*run) };
}

std::optional<QString> GitHubActionsModule::errorText() const
{
    if (const std::optional<QString> problem = GitHubTokenState::problemText(m_credentials))
        return problem;
    QList<const Watch *> failing;
    for (const auto &watch : m_watches) {
        if (watch->watcher.error())
            failing.append(watch.get());
    }
    if (failing.isEmpty())
        return std::nullopt;
    // One text for all when they agree (no token); otherwise the first repository's, named.
    const bool allAlike = failing.size() == qsizetype(m_watches.size())
        && std::all_of(failing.cbegin(), failing.cend(),
            [&](const Watch *w) { return w->errorText() == failing.first()->errorText(); });
    if (allAlike)
        return failing.first()->errorText();
    return failing.first()->shown + QStringLiteral(": ") + *failing.first()->errorText();
}

ModuleRow GitHubActionsModule::rowFor(const Watch &watch) const
{
    const std::optional<QString> problem = GitHubTokenState::problemText(m_credentials)
        ? GitHubTokenState::problemText(m_credentials)
        : watch.errorText();
    if (problem) {
        ModuleRow row = grayRow(watch.shown, *problem);
        if (!watch.runs.isEmpty()) {
            const ModuleRow last = runRow(watch.runs.first(), watch.shortName());
            row.title = last.title;
            row.link = last.link;
        }
        // What the user can mend: the token in the account pane, a repository GitHub does not
        // find in this module's list.
        row.pane = GitHubTokenState::resolvingPane(m_credentials);
        const std::optional<GitHubError> &error = watch.watcher.error();
        if (!GitHubTokenState::problemText(m_credentials) && error && error->kind() == GitHubError::Kind::Http
            && error->statusCode() == 404)
            row.pane = id();
        return row;
    }
    if (!watch.answered)
        return grayRow(watch.shown, tr("Lädt …"));
    if (watch.runs.isEmpty())
        return grayRow(watch.shown, tr("Keine Läufe"));
    return runRow(watch.runs.first(), watch.shortName());
}

QList<ModuleRow> GitHubActionsModule::overlayRows() const
{
    QList<ModuleRow> rows;
    for (const auto &watch : m_watches)
        rows.append(rowFor(*watch));
    if (rows.isEmpty())
        rows.append(grayRow(tr("Kein Repository ausgewählt"), QString()));
    return rows;
}

QList<ModuleDetail> GitHubActionsModule::details() const
{
    QList<ModuleDetail> details;
    for (const auto &watch : m_watches) {
        // Why the runs are missing or old comes first; the runs follow as they were last seen.
        if (GitHubTokenState::problemText(m_credentials) || watch->watcher.error() || watch->runs.isEmpty())
            details.append(ModuleDetail { watch->shown, rowFor(*watch), {}, QString() });
        for (const WorkflowRun &run : watch->runs.mid(0, runsPerRepositoryInDetails))
            details.append(ModuleDetail {
                watch->shown, runRow(run, QString()), commandsFor(*watch, run), watch->commands.refusal(run.id) });
    }
    return details;
}

QList<ModuleNewsKind> GitHubActionsModule::newsKinds() const
{
    return { { WorkflowRunState::runFailed, tr("Run fehlgeschlagen") },
        { WorkflowRunState::runFixed, tr("Run wieder erfolgreich") } };
}

ModuleCounts GitHubActionsModule::counts() const
{
    return WorkflowRunState::counts(answers());
}

QList<ModuleCommand> GitHubActionsModule::commandsFor(const Watch &watch, const WorkflowRun &run) const
{
    const std::optional<GitHubApi::RunCommand> command = commandFor(run);
    if (!command)
        return {};
    // Pressed later, when the module may have moved on: the repository is looked up again then, and
    // a button made under another token or server sends nothing (its run id may name another run).
    const std::function<void()> press = ModuleCommand::later(this,
        [repo = watch.repo, id = run.id, command = *command, generation = m_credentials.tokenGeneration()](
            GitHubActionsModule &module) {
            if (generation == module.m_credentials.tokenGeneration())
                module.send(repo, id, command);
        });
    const bool underWay = watch.commands.isUnderWay(run.id);
    const QString name = WorkflowRunState::nameAndBranch(run);
    if (*command == GitHubApi::RunCommand::RerunFailedJobs)
        return { { tr("Fehlgeschlagene Jobs neu starten"), tr("Fehlgeschlagene Jobs von %1 neu starten").arg(name),
            underWay, press } };
    return { { tr("Abbrechen"), tr("%1 abbrechen").arg(name), underWay, press } };
}

void GitHubActionsModule::send(const QString &repo, qint64 runId, GitHubApi::RunCommand command)
{
    const auto found
        = std::find_if(m_watches.cbegin(), m_watches.cend(), [&](const auto &watch) { return watch->repo == repo; });
    if (found == m_watches.cend() || (*found)->commands.isUnderWay(runId))
        return;
    Watch &watch = **found;
    watch.commands.begin(runId,
        m_client->runCommand(watch.repo, runId, command,
            [guard = QPointer(this), target = &watch, runId, command](const GitHubResult<int> &result) {
                if (!guard)
                    return;
                if (result.isOk()) {
                    target->commands.taken(runId);
                    target->watcher.pollNow();
                } else {
                    target->commands.refused(
                        runId, command, GitHubErrorText::of(result.error(), GitHubErrorText::Asked::RunCommand));
                }
                Q_EMIT guard->changed();
            }));
    Q_EMIT changed();
}

std::optional<ModuleListSetting> GitHubActionsModule::listSetting() const
{
    ModuleListSetting setting = GitHubRepository::listSetting(m_preferences);
    setting.suggestions = m_suggestions.get();
    return setting;
}

QStringList GitHubActionsModule::repositories() const
{
    QStringList names;
    for (const auto &watch : m_watches)
        names.append(watch->repo);
    return names;
}

QList<WorkflowRun> GitHubActionsModule::runs(const QString &repo) const
{
    for (const auto &watch : m_watches) {
        if (watch->repo.compare(repo, Qt::CaseInsensitive) == 0)
            return watch->runs;
    }
    return {};
}
