#include "modules/gitlab_todos/GitLabTodosModule.h"

#include "core/prefs/PreferenceStore.h"
#include "integrations/gitlab/GitLabCredentials.h"
#include "integrations/gitlab/GitLabErrorText.h"
#include "integrations/gitlab/GitLabProjects.h"

#include <QPointer>

GitLabTodosModule::GitLabTodosModule(PreferenceStore &preferences, EventBus &bus, std::unique_ptr<GitLabClient> client,
    const GitLabCredentials &credentials, Scheduler &scheduler, QObject *parent)
    : DevModule(parent)
    , m_preferences(preferences)
    , m_bus(bus)
    , m_client(std::move(client))
    , m_credentials(credentials)
    , m_watcher(
          QStringLiteral("todos"), scheduler, credentials, [this] { return poll(); }, [](int) { return pollInterval; })
{
    // Another token may be another user's: what it showed goes, and its first answer only records.
    m_watcher.forgetOnNewToken([this] {
        m_hasBaseline = false;
        m_seen.clear();
        m_markedDone.clear();
        m_messages.clear();
        m_markError.clear();
        m_marking.cancel();
        Q_EMIT changed();
    });
    connect(&m_credentials, &ApiCredentials::changed, this, &GitLabTodosModule::followCredentials);
    connect(&m_preferences, &PreferenceStore::valueChanged, this, [this](const QString &key) {
        if (key == GitLabProjects::listKey)
            Q_EMIT changed();
    });
}

GitLabTodosModule::~GitLabTodosModule()
{
    m_marking.cancel();
}

bool GitLabTodosModule::inUse() const
{
    return m_credentials.token() || !GitLabProjects::listSetting(m_preferences).used(m_preferences).isEmpty();
}

void GitLabTodosModule::start()
{
    m_running = true;
    // Without a token nothing could be asked: the watcher starts when one comes.
    if (m_credentials.token())
        m_watcher.start();
}

void GitLabTodosModule::stop()
{
    m_running = false;
    m_watcher.stop();
}

void GitLabTodosModule::followCredentials()
{
    if (m_running && m_credentials.token() && !m_watcher.isRunning())
        m_watcher.start();
    else if (!m_credentials.token())
        m_watcher.stop();
    Q_EMIT changed();
}

CancelHandle GitLabTodosModule::poll()
{
    return m_client->todos([guard = QPointer(this)](const ApiResult<Polled<QList<GitLabTodo>>> &result) {
        if (guard)
            guard->receive(result);
    });
}

std::optional<GitLabTodosModule::News> GitLabTodosModule::newsOf(const GitLabTodo &todo)
{
    const QString about = todo.title.value_or(todo.body);
    const QString &action = todo.action;
    if (action == u"review_requested")
        return News { tr("Review angefragt: %1").arg(about), reviewRequested };
    if (action == u"assigned")
        return News { tr("Dir zugewiesen: %1").arg(about), assigned };
    if (action == u"mentioned" || action == u"directly_addressed")
        return News { tr("Erwähnt: %1").arg(about), mentioned };
    if (action == u"build_failed")
        return News { tr("Deine Pipeline ist fehlgeschlagen: %1").arg(about), pipelineFailed };
    if (action == u"approval_required")
        return News { tr("Freigabe nötig: %1").arg(about), approvalRequired };
    if (action == u"merge_train_removed")
        return News { tr("Aus dem Merge Train entfernt: %1").arg(about), mergeTrainRemoved };
    return std::nullopt;
}

void GitLabTodosModule::receive(const ApiResult<Polled<QList<GitLabTodo>>> &result)
{
    if (!result.isOk()) {
        if (m_watcher.failed(result.error()))
            Q_EMIT changed();
        return;
    }
    const Polled<QList<GitLabTodo>> &answer = result.value();
    m_watcher.succeeded(pollInterval, !answer.unchanged);
    if (answer.unchanged && m_hasBaseline) {
        Q_EMIT changed();
        return;
    }
    QSet<qint64> pending;
    QList<const GitLabTodo *> fresh;
    for (const GitLabTodo &todo : answer.value) {
        pending.insert(todo.id);
        if (m_hasBaseline && !m_seen.contains(todo.id) && !m_markedDone.contains(todo.id))
            fresh.append(&todo);
    }
    // A to-do done elsewhere leaves the overlay too.
    m_messages.removeIf([&](const Message &message) { return !pending.contains(message.todoId); });
    m_seen = pending;
    m_markedDone.intersect(pending);
    m_asking.clear();
    for (const GitLabTodo &todo : answer.value) {
        const std::optional<News> news = newsOf(todo);
        if (news && (news->kind == reviewRequested || news->kind == assigned) && !m_markedDone.contains(todo.id))
            m_asking.insert(todo.id);
    }
    m_hasBaseline = true;
    // Oldest first, so the newest ends on top.
    for (auto it = fresh.crbegin(); it != fresh.crend(); ++it) {
        const GitLabTodo &todo = **it;
        const std::optional<News> news = newsOf(todo);
        if (!news)
            continue;
        const ModuleStatus::Severity severity
            = news->kind == pipelineFailed ? ModuleStatus::Severity::Failing : ModuleStatus::Severity::Notice;
        const QUrl page = todo.targetUrl.value_or(QUrl());
        m_messages.prepend(Message { todo.id, news->text, severity, todo.createdAt, page });
        m_bus.publish(ModuleEvent { id(), news->text, severity, news->kind, page });
    }
    m_messages = m_messages.mid(0, keptMessages);
    Q_EMIT changed();
}

void GitLabTodosModule::announceTokenEnd(const QString &warning)
{
    m_bus.publish(ModuleEvent { id(), warning, ModuleStatus::Severity::Active });
}

ModuleCounts GitLabTodosModule::counts() const
{
    ModuleCounts counts;
    counts.newsForYou = int(m_asking.size());
    return counts;
}

void GitLabTodosModule::markDone(qint64 todoId)
{
    m_asking.remove(todoId);
    m_messages.removeIf([&](const Message &message) { return message.todoId == todoId; });
    Q_EMIT changed();
    if (m_markedDone.contains(todoId))
        return; // asked once: no second request for the same to-do
    m_markedDone.insert(todoId);
    m_marking = m_client->markTodoDone(todoId, [guard = QPointer(this)](const ApiResult<int> &result) {
        if (!guard)
            return;
        guard->m_markError
            = result.isOk() ? QString() : GitLabErrorText::of(result.error(), GitLabErrorText::Asked::Command);
        Q_EMIT guard->changed();
    });
}

std::optional<QString> GitLabTodosModule::errorText() const
{
    if (!inUse())
        return std::nullopt;
    if (const std::optional<QString> problem = GitLabErrorText::problemText(m_credentials))
        return problem;
    if (!m_credentials.token())
        return GitLabErrorText::of(ApiError::missingToken(), GitLabErrorText::Asked::Todos);
    if (m_watcher.error())
        return GitLabErrorText::of(*m_watcher.error(), GitLabErrorText::Asked::Todos);
    if (!m_markError.isEmpty())
        return m_markError;
    return std::nullopt;
}

QList<ModuleRow> GitLabTodosModule::overlayRows() const
{
    if (!inUse())
        return {};
    if (const std::optional<QString> problem = errorText(); problem && m_messages.isEmpty()) {
        ModuleRow row { title(), *problem, std::nullopt, ModuleStatus::Severity::Idle, QUrl() };
        row.pane = GitLabErrorText::resolvingPane(m_credentials);
        return { row };
    }
    QList<ModuleRow> rows;
    for (const Message &message : m_messages) {
        const auto done
            = ModuleCommand::later(this, [id = message.todoId](GitLabTodosModule &module) { module.markDone(id); });
        rows.append(ModuleRow { message.text, QString(), message.at, message.severity, message.page, QString(),
            ModuleRowActions { done, tr("Als erledigt markieren"), done } });
    }
    return rows;
}

QList<ModuleNewsKind> GitLabTodosModule::newsKinds() const
{
    return { { reviewRequested, tr("Review angefragt (GitLab)") }, { assigned, tr("Zugewiesen (GitLab)") },
        { mentioned, tr("Erwähnt (GitLab)") }, { pipelineFailed, tr("Eigene Pipeline fehlgeschlagen (GitLab-To-do)") },
        { approvalRequired, tr("Freigabe nötig (GitLab)") },
        { mergeTrainRemoved, tr("Aus dem Merge Train entfernt (GitLab)") } };
}
