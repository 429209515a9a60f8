#include "modules/gitlab_pipelines/GitLabPipelinesModule.h"

#include "core/prefs/PreferenceStore.h"
#include "integrations/gitlab/GitLabCredentials.h"
#include "integrations/gitlab/GitLabErrorText.h"
#include "integrations/gitlab/GitLabProjects.h"
#include "modules/gitlab_pipelines/PipelineState.h"
#include "services/RecentNames.h"
#include "services/RunWatch.h"

#include <QPointer>

#include <algorithm>

namespace {

constexpr int pipelinesPerPoll = 10;
constexpr int pipelinesInDetails = 5;

using Command = GitLabClient::PipelineCommand;

// A pipeline as a line: "<title>" over "<branch> · <state>", aged by its last update.
ModuleRow pipelineRow(const GitLabPipeline &pipeline, const QString &title)
{
    return ModuleRow { title, pipeline.ref + QStringLiteral(" \u00B7 ") + PipelineState::word(pipeline),
        pipeline.updatedAt.value_or(pipeline.createdAt), PipelineState::severity(pipeline), pipeline.webUrl };
}

ModuleRow grayRow(const QString &title, const QString &detail)
{
    return ModuleRow { title, detail, std::nullopt, ModuleStatus::Severity::Idle, QUrl() };
}

// What a pipeline's state lets the user ask of it: a failed one again, an unfinished one stopped.
std::optional<Command> commandFor(const GitLabPipeline &pipeline)
{
    if (PipelineState::isFailure(pipeline))
        return Command::Retry;
    if (PipelineState::isActive(pipeline))
        return Command::Cancel;
    return std::nullopt;
}

} // namespace

// One watched project: its project asked once, then its pipelines.
struct GitLabPipelinesModule::Watch final : RunWatch<GitLabPipeline, Command> {
    Watch(GitLabPipelinesModule &module, QString path)
        : RunWatch(
            std::move(path), module.m_scheduler, module.m_credentials, [&module, this] { return module.poll(*this); })
        , options(GitLabProjects::options(module.m_preferences, name))
    {
        // Projects, pipelines and their ids belong to the token's server: another token or server
        // starts afresh, dropping the commands under way, and its first answer is only recorded.
        watcher.forgetOnNewToken([&module, this] {
            project.reset();
            forget();
            Q_EMIT module.changed();
        });
    }

    GitLabProjects::Options options;
    std::optional<GitLabProject> project; // asked once, before its pipelines

    QString shortName() const { return shown.section(u'/', -1); }
    QString ref() const
    {
        return options.branch.isEmpty() && project ? project->defaultBranch.value_or(QString()) : options.branch;
    }
    std::optional<QString> errorText() const
    {
        if (!watcher.error())
            return std::nullopt;
        return GitLabErrorText::of(*watcher.error(), GitLabErrorText::Asked::Pipelines);
    }
};

GitLabPipelinesModule::GitLabPipelinesModule(PreferenceStore &preferences, EventBus &bus,
    std::unique_ptr<GitLabClient> client, const GitLabCredentials &credentials, Scheduler &scheduler, QObject *parent)
    : DevModule(parent)
    , m_preferences(preferences)
    , m_bus(bus)
    , m_client(std::move(client))
    , m_credentials(credentials)
    , m_scheduler(scheduler)
    , m_suggestions(
          std::make_unique<RecentNames>(credentials, [client = m_client.get()](int count, RecentNames::Done done) {
              return client->recentProjects(count, std::move(done));
          }))
{
    const ModuleListSetting setting = GitLabProjects::listSetting(m_preferences);
    follow(setting.used(m_preferences));
    connect(&m_preferences, &PreferenceStore::valueChanged, this, [this](const QString &key) {
        if (key == GitLabProjects::listKey)
            follow(GitLabProjects::listSetting(m_preferences).used(m_preferences));
        else if (key == GitLabProjects::optionsKey)
            followOptions();
    });
    // The token's state shows in every row.
    connect(&m_credentials, &ApiCredentials::changed, this, &DevModule::changed);
}

GitLabPipelinesModule::~GitLabPipelinesModule() = default;

void GitLabPipelinesModule::follow(const QStringList &wanted)
{
    m_watches.follow(wanted, [this](const QString &path) { return std::make_unique<Watch>(*this, path); });
    Q_EMIT changed();
}

void GitLabPipelinesModule::followOptions()
{
    for (const auto &watch : m_watches) {
        GitLabProjects::Options options = GitLabProjects::options(m_preferences, watch->name);
        const bool newBranch = options.branch != watch->options.branch;
        watch->options = std::move(options);
        if (!newBranch)
            continue; // muting alone asks nothing new
        watch->runs.clear();
        watch->answered = false;
        if (m_watches.isRunning())
            watch->watcher.start();
    }
    Q_EMIT changed();
}

void GitLabPipelinesModule::start()
{
    m_watches.start();
}

void GitLabPipelinesModule::stop()
{
    m_watches.stop();
}

CancelHandle GitLabPipelinesModule::poll(Watch &watch)
{
    const QPointer guard(this);
    if (!watch.project) {
        // The project first: its number and default branch, and GitLab's spelling of its path. Its
        // pipelines follow at once.
        return m_client->project(watch.name, [guard, target = &watch](const ApiResult<GitLabProject> &result) {
            if (!guard)
                return;
            if (!result.isOk()) {
                if (target->watcher.failed(result.error()))
                    Q_EMIT guard->changed();
                return;
            }
            target->project = result.value();
            target->shown = result.value().path;
            target->watcher.succeeded(0);
            Q_EMIT guard->changed();
        });
    }
    return m_client->pipelines(
        watch.project->id, watch.ref(), pipelinesPerPoll, [guard, target = &watch](const auto &result) {
            if (guard)
                guard->receive(*target, result);
        });
}

void GitLabPipelinesModule::receive(Watch &watch, const ApiResult<Polled<QList<GitLabPipeline>>> &result)
{
    // A project GitLab no longer finds is asked for again, in case it moved.
    if (!result.isOk() && result.error() == ApiError::http(404))
        watch.project.reset();
    const Watch::Taken taken = watch.take(result, PipelineState::isActive, commandFor);
    if (taken.changed)
        Q_EMIT changed();
    // The pipelines found by a project's first answer were there before: only later ones are news.
    if (taken.previous && !watch.options.muted) {
        for (const PipelineState::News &news : PipelineState::finishedSince(*taken.previous, watch.runs, watch.shown))
            m_bus.publish(ModuleEvent { id(), news.text, news.severity, news.kind, news.page });
    }
}

ModuleCounts GitLabPipelinesModule::counts() const
{
    ModuleCounts counts;
    for (const auto &watch : m_watches) {
        if (!watch->runs.isEmpty() && PipelineState::isFailure(watch->runs.first()))
            ++counts.failedRuns;
        counts.activeRuns += int(std::count_if(watch->runs.cbegin(), watch->runs.cend(), PipelineState::isActive));
    }
    return counts;
}

std::optional<ModuleStatus> GitLabPipelinesModule::compactStatus() const
{
    if (m_watches.empty())
        return std::nullopt;
    if (const std::optional<QString> problem = GitLabErrorText::problemText(m_credentials))
        return ModuleStatus { *problem, ModuleStatus::Severity::Idle };
    // The newest pipeline of each project: a failing one first, else one under way, else the newest.
    const Watch *chosen = nullptr;
    const auto rank = [](const GitLabPipeline &p) {
        return PipelineState::isFailure(p) ? 2 : PipelineState::isActive(p) ? 1 : 0;
    };
    for (const auto &watch : m_watches) {
        if (watch->runs.isEmpty())
            continue;
        const GitLabPipeline &newest = watch->runs.first();
        if (!chosen || rank(newest) > rank(chosen->runs.first())
            || (rank(newest) == rank(chosen->runs.first()) && newest.createdAt > chosen->runs.first().createdAt))
            chosen = watch.get();
    }
    if (!chosen)
        return std::nullopt;
    const GitLabPipeline &pipeline = chosen->runs.first();
    return ModuleStatus { chosen->shortName() + QStringLiteral(" \u00B7 ") + pipeline.ref,
        PipelineState::severity(pipeline) };
}

std::optional<QString> GitLabPipelinesModule::problemFor(const Watch &watch) const
{
    if (const std::optional<QString> problem = GitLabErrorText::problemText(m_credentials))
        return problem;
    return watch.errorText();
}

std::optional<QString> GitLabPipelinesModule::errorText() const
{
    if (const std::optional<QString> problem = GitLabErrorText::problemText(m_credentials))
        return problem;
    for (const auto &watch : m_watches) {
        const std::optional<QString> error = watch->errorText();
        if (!error)
            continue;
        // A missing token reads the same for all; another failure names its project.
        if (m_watches.size() == 1 || watch->watcher.error()->kind() == ApiError::Kind::MissingToken)
            return error;
        return watch->shown + QStringLiteral(": ") + *error;
    }
    return std::nullopt;
}

ModuleRow GitLabPipelinesModule::rowFor(const Watch &watch) const
{
    if (const std::optional<QString> problem = problemFor(watch)) {
        ModuleRow row = grayRow(watch.shortName(), *problem);
        if (!watch.runs.isEmpty())
            row.link = watch.runs.first().webUrl;
        // What the user can mend: the token in the account pane, a project GitLab does not find in
        // this module's list.
        row.pane = GitLabErrorText::resolvingPane(m_credentials);
        const std::optional<ApiError> &error = watch.watcher.error();
        if (!GitLabErrorText::problemText(m_credentials) && error && *error == ApiError::http(404))
            row.pane = id();
        return row;
    }
    if (!watch.answered)
        return grayRow(watch.shortName(), tr("Lädt …"));
    if (watch.runs.isEmpty())
        return grayRow(watch.shortName(), tr("Keine Pipelines"));
    return pipelineRow(watch.runs.first(), watch.shortName());
}

QList<ModuleRow> GitLabPipelinesModule::overlayRows() const
{
    QList<ModuleRow> rows;
    for (const auto &watch : m_watches)
        rows.append(rowFor(*watch));
    return rows;
}

QList<ModuleDetail> GitLabPipelinesModule::details() const
{
    QList<ModuleDetail> details;
    for (const auto &watch : m_watches) {
        if (problemFor(*watch) || watch->runs.isEmpty())
            details.append(ModuleDetail { watch->shown, rowFor(*watch), {}, QString() });
        for (const GitLabPipeline &pipeline : watch->runs.mid(0, pipelinesInDetails))
            details.append(ModuleDetail { watch->shown, pipelineRow(pipeline, PipelineState::name(pipeline)),
                commandsFor(*watch, pipeline), watch->commands.refusal(pipeline.id) });
    }
    return details;
}

QList<ModuleNewsKind> GitLabPipelinesModule::newsKinds() const
{
    return { { PipelineState::pipelineFailed, tr("Pipeline fehlgeschlagen") },
        { PipelineState::pipelineFixed, tr("Pipeline wieder erfolgreich") } };
}

QList<ModuleCommand> GitLabPipelinesModule::commandsFor(const Watch &watch, const GitLabPipeline &pipeline) const
{
    const std::optional<Command> command = commandFor(pipeline);
    if (!command)
        return {};
    // Pressed later, when the module may have moved on: the project is looked up again then, and a
    // button made under another token or server sends nothing (its ids may name another pipeline).
    const std::function<void()> press = ModuleCommand::later(this,
        [path = watch.name, id = pipeline.id, command = *command, generation = m_credentials.tokenGeneration()](
            GitLabPipelinesModule &module) {
            if (generation == module.m_credentials.tokenGeneration())
                module.send(path, id, command);
        });
    const bool underWay = watch.commands.isUnderWay(pipeline.id);
    const QString name = watch.shortName() + QStringLiteral(" \u00B7 ") + PipelineState::name(pipeline);
    if (*command == Command::Retry)
        return { { tr("Erneut ausführen"), tr("%1 erneut ausführen").arg(name), underWay, press } };
    return { { tr("Abbrechen"), tr("%1 abbrechen").arg(name), underWay, press } };
}

void GitLabPipelinesModule::send(const QString &path, qint64 pipelineId, Command command)
{
    Watch *watch = m_watches.find(path);
    if (!watch || !watch->project)
        return;
    watch->send(
        pipelineId, command, this,
        [this, projectId = watch->project->id, pipelineId, command](
            auto done) { return m_client->pipelineCommand(projectId, pipelineId, command, std::move(done)); },
        [](const ApiError &error) { return GitLabErrorText::of(error, GitLabErrorText::Asked::Command); });
}

std::optional<ModuleListSetting> GitLabPipelinesModule::listSetting() const
{
    ModuleListSetting setting = GitLabProjects::listSetting(m_preferences);
    setting.suggestions = m_suggestions.get();
    return setting;
}
