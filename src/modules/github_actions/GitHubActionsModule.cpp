#include "modules/github_actions/GitHubActionsModule.h"

#include "core/prefs/PreferenceStore.h"
#include "integrations/github/GitHubCredentials.h"
#include "integrations/github/GitHubErrorText.h"
#include "integrations/github/GitHubRepository.h"
#include "integrations/github/GitHubTokenState.h"
#include "integrations/github/RecentRepositories.h"
#include "modules/github_actions/RunFilter.h"
#include "modules/github_actions/WorkflowRunState.h"
#include "services/RunWatch.h"

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

// One watched repository and the filter its runs pass.
struct GitHubActionsModule::Watch final : RunWatch<WorkflowRun, GitHubApi::RunCommand> {
    Watch(GitHubActionsModule &module, QString repo)
        : RunWatch(
            std::move(repo), module.m_scheduler, module.m_credentials, [&module, this] { return module.poll(*this); })
        , filter(GitHubRepository::options(module.m_preferences, name))
    {
        // Runs and their ids belong to the token's server: another token or server starts afresh,
        // dropping the commands under way, and its first answer is only recorded.
        watcher.forgetOnNewToken([&module, this] {
            forget();
            Q_EMIT module.changed();
        });
    }

    RunFilter filter;

    QString shortName() const { return shown.section(u'/', 1); }
    // GitHub's spelling of the name, from runs that name their repository.
    void learnName(const QList<WorkflowRun> &answer)
    {
        for (const WorkflowRun &run : answer) {
            if (run.repository && run.repository->compare(name, Qt::CaseInsensitive) == 0) {
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
    m_watches.follow(wanted, [this](const QString &repo) { return std::make_unique<Watch>(*this, repo); });
    Q_EMIT changed();
}

void GitHubActionsModule::followFilters()
{
    bool refiltered = false;
    for (const auto &watch : m_watches) {
        RunFilter filter(GitHubRepository::options(m_preferences, watch->name));
        if (filter == watch->filter)
            continue; // muting alone asks nothing new
        watch->filter = std::move(filter);
        watch->runs.clear();
        watch->answered = false;
        refiltered = true;
        if (m_watches.isRunning())
            watch->watcher.start();
    }
    if (refiltered)
        Q_EMIT changed();
}

void GitHubActionsModule::start()
{
    m_watches.start();
}

void GitHubActionsModule::stop()
{
    m_watches.stop();
}

CancelHandle GitHubActionsModule::poll(Watch &watch)
{
    const RunFilter &filter = watch.filter;
    return m_client->workflowRuns(
        watch.name, filter.asked(), filter.perPage(), [guard = QPointer(this), target = &watch](const auto &result) {
            if (guard)
                guard->receive(*target, result);
        });
}

void GitHubActionsModule::receive(Watch &watch, const GitHubResult<Polled<QList<WorkflowRun>>> &result)
{
    const Watch::Taken taken = watch.take(result, WorkflowRunState::isActive, commandFor,
        [&](const QList<WorkflowRun> &runs) { return watch.filter.sift(runs); });
    if (taken.replaced)
        watch.learnName(result.value().value);
    if (taken.changed)
        Q_EMIT changed();
    // The runs found by a repository's first answer were there before: only later ones are news.
    // A muted repository keeps its row up to date and says nothing.
    if (taken.previous && !GitHubRepository::isMuted(m_preferences, watch.name)) {
        for (const WorkflowRunState::News &news : WorkflowRunState::finishedSince(*taken.previous, watch.runs))
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
        [repo = watch.name, id = run.id, command = *command, generation = m_credentials.tokenGeneration()](
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
    Watch *watch = m_watches.find(repo);
    if (!watch)
        return;
    watch->send(
        runId, command, this,
        [this, repo, runId, command](auto done) { return m_client->runCommand(repo, runId, command, std::move(done)); },
        [](const GitHubError &error) { return GitHubErrorText::of(error, GitHubErrorText::Asked::RunCommand); });
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
        names.append(watch->name);
    return names;
}

QList<WorkflowRun> GitHubActionsModule::runs(const QString &repo) const
{
    for (const auto &watch : m_watches) {
        if (watch->name.compare(repo, Qt::CaseInsensitive) == 0)
            return watch->runs;
    }
    return {};
}
