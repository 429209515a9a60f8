#pragma once

#include "core/DevModule.h"
#include "core/EventBus.h"
#include "core/Scheduler.h"
#include "integrations/gitlab/GitLabClient.h"
#include "services/ApiWatcher.h"

#include <QDateTime>
#include <QList>
#include <QSet>
#include <QString>
#include <QUrl>

#include <memory>
#include <optional>

class GitLabCredentials;
class PreferenceStore;

// Announces the user's new GitLab to-dos on the event bus: every 60 s while a token is held it reads
// the pending to-dos and publishes a short translated text for each one the previous poll did not
// return (a review requested, an assignment, a mention, a failed pipeline of theirs, an approval
// required, a removal from the merge train). The first successful poll, and the first with a new
// token, only records what is there. The overlay lists the three newest messages, each opening its
// target's page; opening one, or its second action, marks the to-do done on GitLab and drops the
// message. Without a token, and no GitLab project watched, it asks nothing and shows nothing.
class GitLabTodosModule final : public DevModule {
    Q_OBJECT
public:
    static constexpr double pollInterval = 60;
    static constexpr int keptMessages = 3;

    // The kinds of news it publishes, each with its switch.
    static inline const QString reviewRequested = QStringLiteral("gitlab.todoReviewRequested");
    static inline const QString assigned = QStringLiteral("gitlab.todoAssigned");
    static inline const QString mentioned = QStringLiteral("gitlab.todoMentioned");
    static inline const QString pipelineFailed = QStringLiteral("gitlab.todoPipelineFailed");
    static inline const QString approvalRequired = QStringLiteral("gitlab.todoApprovalRequired");
    static inline const QString mergeTrainRemoved = QStringLiteral("gitlab.todoMergeTrainRemoved");

    GitLabTodosModule(PreferenceStore &preferences, EventBus &bus, std::unique_ptr<GitLabClient> client,
        const GitLabCredentials &credentials, Scheduler &scheduler, QObject *parent = nullptr);
    ~GitLabTodosModule() override;

    QString id() const override { return QStringLiteral("gitlab.todos"); }
    QString title() const override { return tr("GitLab-To-dos"); }
    QString symbol() const override { return QStringLiteral("bell"); }
    QString description() const override
    {
        return tr("Neue To-dos aus GitLab als Meldung: Reviews, Zuweisungen, Erwähnungen, fehlgeschlagene "
                  "Pipelines, Freigaben und der Merge Train. Öffnen markiert ein To-do als erledigt.");
    }
    std::optional<ModuleStatus> compactStatus() const override { return std::nullopt; }
    void start() override;
    void stop() override;

    std::optional<QString> errorText() const override;
    QList<ModuleRow> overlayRows() const override;
    QList<ModuleNewsKind> newsKinds() const override;
    // Pending review requests and assignments, as GitLab last listed them and not marked done here.
    ModuleCounts counts() const override;

    // The text and kind of a to-do's news; none for an action it does not announce.
    struct News {
        QString text;
        QString kind;
    };
    static std::optional<News> newsOf(const GitLabTodo &todo);
    // Drops the message of to-do `todoId` at once and marks the to-do done on GitLab.
    void markDone(qint64 todoId);
    // Announces that the token ends soon: news about the account, which always may interrupt.
    void announceTokenEnd(const QString &warning);

private:
    struct Message {
        qint64 todoId;
        QString text;
        ModuleStatus::Severity severity;
        QDateTime at;
        QUrl page;
    };

    bool inUse() const;
    void followCredentials();
    CancelHandle poll();
    void receive(const ApiResult<Polled<QList<GitLabTodo>>> &result);

    PreferenceStore &m_preferences;
    EventBus &m_bus;
    const std::unique_ptr<GitLabClient> m_client;
    const GitLabCredentials &m_credentials;
    bool m_running = false;
    bool m_hasBaseline = false;
    QSet<qint64> m_seen;
    QSet<qint64> m_markedDone; // asked once each
    QSet<qint64> m_asking; // pending to-dos that ask the user to act
    QList<Message> m_messages; // newest first
    QString m_markError; // why the last marking failed
    CancelHandle m_marking;
    ApiWatcher m_watcher;
};
