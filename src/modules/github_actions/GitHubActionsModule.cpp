#include "modules/github_actions/GitHubActionsModule.h"

#include "core/GitHubPage.h"
#include "core/PollLoop.h"
#include "core/prefs/AppPreferences.h"
#include "core/prefs/PreferenceStore.h"
#include "modules/github_actions/WorkflowRunState.h"
#include "services/GitHubCredentials.h"
#include "services/GitHubRepository.h"

#include <QPointer>

#include <algorithm>

namespace {

constexpr int runsPerRepositoryInDetails = 5;

QString errorTextFor(const GitHubError &error)
{
    if (error.kind() == GitHubError::Kind::MissingToken)
        return GitHubActionsModule::tr("Kein GitHub-Token hinterlegt.");
    if (error.kind() == GitHubError::Kind::Http && error.statusCode() == 404)
        return GitHubActionsModule::tr("Repository nicht gefunden oder kein Zugriff");
    return GitHubActionsModule::tr("Läufe konnten nicht geladen werden.");
}

// A run as a line: "<workflow name> · <suffix>" over "<branch> · <state>", aged by its last update.
ModuleRow runRow(const WorkflowRun &run, const QString &titleSuffix)
{
    QStringList title;
    if (run.name)
        title.append(*run.name);
    if (!titleSuffix.isEmpty())
        title.append(titleSuffix);
    QStringList detail;
    if (run.headBranch)
        detail.append(*run.headBranch);
    detail.append(WorkflowRunState::word(run));
    const QUrl link = GitHubPage::isGitHubPage(run.htmlURL) ? run.htmlURL : QUrl();
    return ModuleRow { title.join(QStringLiteral(" \u00B7 ")), detail.join(QStringLiteral(" \u00B7 ")), run.updatedAt,
        WorkflowRunState::color(run), link };
}

ModuleRow grayRow(const QString &title, const QString &detail)
{
    return ModuleRow { title, detail, std::nullopt, Color::gray(), QUrl() };
}

} // namespace

// One watched repository with its own poll loop.
struct GitHubActionsModule::Watch {
    explicit Watch(QString name)
        : repo(std::move(name))
    { }
    ~Watch() { request.cancel(); }

    const QString repo;
    QList<WorkflowRun> runs; // of the last successful poll
    bool answered = false; // a poll has succeeded
    std::optional<QString> errorText; // of the last poll
    int failures = 0; // in a row
    CancelHandle request;
    std::unique_ptr<PollLoop> loop;

    QString shortName() const { return repo.section(u'/', 1); }
};

GitHubActionsModule::GitHubActionsModule(PreferenceStore &preferences, EventBus &bus, std::unique_ptr<GitHubApi> client,
    const GitHubCredentials &credentials, Scheduler &scheduler, QObject *parent)
    : DevModule(parent)
    , m_preferences(preferences)
    , m_bus(bus)
    , m_client(std::move(client))
    , m_credentials(credentials)
    , m_scheduler(scheduler)
    , m_token(credentials.token())
{
    followPreference();
    connect(&m_preferences, &PreferenceStore::valueChanged, this, [this](const QString &key) {
        if (key == AppPreferences::gitHubRepositories)
            followPreference();
    });
    connect(&m_credentials, &GitHubCredentials::changed, this, &GitHubActionsModule::followCredentials);
}

GitHubActionsModule::~GitHubActionsModule() = default;

void GitHubActionsModule::followPreference()
{
    const QStringList wanted = GitHubRepository::watched(m_preferences);
    if (wanted == repositories())
        return;
    std::vector<std::unique_ptr<Watch>> next;
    std::vector<Watch *> added;
    for (const QString &repo : wanted) {
        auto kept
            = std::find_if(m_watches.begin(), m_watches.end(), [&](const auto &w) { return w && w->repo == repo; });
        if (kept != m_watches.end()) {
            next.push_back(std::move(*kept));
            continue;
        }
        auto watch = std::make_unique<Watch>(repo);
        Watch *raw = watch.get();
        watch->loop = std::make_unique<PollLoop>(
            m_scheduler, [this, raw](PollLoop::Finished finished) { poll(*raw, std::move(finished)); });
        added.push_back(raw);
        next.push_back(std::move(watch));
    }
    // Repositories left out are dropped with their loops and the polls they have in flight.
    m_watches = std::move(next);
    if (m_running) {
        for (Watch *watch : added)
            watch->loop->start();
    }
    Q_EMIT changed();
}

void GitHubActionsModule::followCredentials()
{
    // A new token should not wait out a back-off of up to ten minutes: failed repositories ask now.
    // (GitHub's verdict on the token in use changes the display only.)
    const bool newToken = m_credentials.token() != m_token;
    m_token = m_credentials.token();
    Q_EMIT changed();
    if (!newToken || !m_running || !m_token)
        return;
    for (const auto &watch : m_watches) {
        if (watch->errorText)
            watch->loop->start();
    }
}

void GitHubActionsModule::start()
{
    m_running = true;
    for (const auto &watch : m_watches)
        watch->loop->start();
}

void GitHubActionsModule::stop()
{
    m_running = false;
    for (const auto &watch : m_watches) {
        watch->loop->stop();
        watch->request.cancel();
    }
}

void GitHubActionsModule::poll(Watch &watch, std::function<void(double)> finished)
{
    watch.request.cancel();
    // A repository that is dropped aborts its request, so the answer never reaches a gone watch.
    watch.request = m_client->workflowRuns(watch.repo, pageSize,
        [guard = QPointer(this), target = &watch, finished = std::move(finished)](const auto &result) {
            if (guard)
                finished(guard->receive(*target, result));
        });
}

double GitHubActionsModule::receive(Watch &watch, const GitHubResult<Polled<QList<WorkflowRun>>> &result)
{
    watch.request = {};
    // GitHub's wait is shown through the credentials; it is no failure of this repository. The
    // first answer after it takes the wait's line away again.
    if (!result.isOk() && result.error().kind() == GitHubError::Kind::RateLimited) {
        m_waitShown = true;
        return result.error().secondsToWait();
    }
    const bool waitEnded = std::exchange(m_waitShown, false);
    const auto pauseAfterSuccess = [&] {
        watch.failures = 0;
        return std::any_of(watch.runs.cbegin(), watch.runs.cend(), WorkflowRunState::isActive) ? 15 : 60;
    };
    // Unchanged since the last answer: nothing to store and nothing to announce.
    if (result.isOk() && result.value().unchanged && watch.answered) {
        const bool errorGone = std::exchange(watch.errorText, std::nullopt).has_value();
        if (errorGone || waitEnded)
            Q_EMIT changed();
        return pauseAfterSuccess();
    }
    if (!result.isOk()) {
        watch.errorText = errorTextFor(result.error());
        const double pause = PollLoop::backOff(++watch.failures);
        Q_EMIT changed();
        return pause;
    }
    const QList<WorkflowRun> previous = std::exchange(watch.runs, result.value().value);
    const bool firstAnswer = !std::exchange(watch.answered, true);
    watch.errorText.reset();
    const double pause = pauseAfterSuccess();
    Q_EMIT changed();
    // The runs found by a repository's first answer were there before: only later ones are news.
    if (!firstAnswer) {
        for (const WorkflowRunState::News &news : WorkflowRunState::finishedSince(previous, watch.runs))
            m_bus.publish(ModuleEvent { id(), news.text, true, news.color });
    }
    return pause;
}

std::optional<ModuleStatus> GitHubActionsModule::compactStatus() const
{
    if (const std::optional<QString> problem = m_credentials.problemText())
        return ModuleStatus { *problem, ModuleStatus::Severity::Idle };
    QList<QList<WorkflowRun>> answers;
    for (const auto &watch : m_watches)
        answers.append(watch->runs);
    const std::optional<WorkflowRun> run = WorkflowRunState::mostNeedingAttention(answers);
    if (!run)
        return std::nullopt;
    return ModuleStatus { WorkflowRunState::nameAndBranch(*run), WorkflowRunState::severity(*run) };
}

std::optional<QString> GitHubActionsModule::errorText() const
{
    if (const std::optional<QString> problem = m_credentials.problemText())
        return problem;
    QList<const Watch *> failing;
    for (const auto &watch : m_watches) {
        if (watch->errorText)
            failing.append(watch.get());
    }
    if (failing.isEmpty())
        return std::nullopt;
    // One text for all when they agree (no token); otherwise the first repository's, named.
    const bool allAlike = failing.size() == qsizetype(m_watches.size())
        && std::all_of(failing.cbegin(), failing.cend(),
            [&](const Watch *w) { return w->errorText == failing.first()->errorText; });
    if (allAlike)
        return failing.first()->errorText;
    return failing.first()->repo + QStringLiteral(": ") + *failing.first()->errorText;
}

ModuleRow GitHubActionsModule::rowFor(const Watch &watch) const
{
    const std::optional<QString> problem = m_credentials.problemText() ? m_credentials.problemText() : watch.errorText;
    if (problem) {
        if (watch.runs.isEmpty())
            return grayRow(watch.repo, *problem);
        const ModuleRow last = runRow(watch.runs.first(), watch.shortName());
        return ModuleRow { last.title, *problem, std::nullopt, Color::gray(), last.link };
    }
    if (!watch.answered)
        return grayRow(watch.repo, tr("Lädt …"));
    if (watch.runs.isEmpty())
        return grayRow(watch.repo, tr("Keine Läufe"));
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
        if (m_credentials.problemText() || watch->errorText || watch->runs.isEmpty())
            details.append(ModuleDetail { watch->repo, rowFor(*watch), std::nullopt, QString() });
        for (const WorkflowRun &run : watch->runs.mid(0, runsPerRepositoryInDetails))
            details.append(ModuleDetail { watch->repo, runRow(run, QString()), std::nullopt, QString() });
    }
    return details;
}

std::optional<ModuleListSetting> GitHubActionsModule::listSetting() const
{
    return GitHubRepository::listSetting();
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
        if (watch->repo == repo)
            return watch->runs;
    }
    return {};
}
