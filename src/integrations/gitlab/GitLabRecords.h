#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QUrl>

#include <optional>

// A project as GitLab describes it (GET /projects/:id): its number, its full path
// ("group/subgroup/project", as GitLab spells it), its default branch (none in an empty project)
// and its page.
struct GitLabProject {
    qint64 id = 0;
    QString path;
    std::optional<QString> defaultBranch;
    QUrl webUrl;

    // Throws JsonDecodeError on a body of the wrong shape.
    static GitLabProject decode(const QByteArray &body);
    // The full paths in a list of projects. Throws JsonDecodeError on a body of the wrong shape.
    static QStringList decodePaths(const QByteArray &body);
    friend bool operator==(const GitLabProject &, const GitLabProject &) = default;
};

// One pipeline of a project's list (GET /projects/:id/pipelines), newest first in the answer. The
// status is GitLab's word, kept as it comes (created, waiting_for_resource, preparing, pending,
// running, success, failed, canceled, skipped, manual, scheduled, or one GitLab adds later).
struct GitLabPipeline {
    qint64 id = 0;
    std::optional<qint64> iid; // its number within the project
    QString status;
    QString ref;
    QUrl webUrl;
    QDateTime createdAt;
    std::optional<QDateTime> updatedAt;

    // Throws JsonDecodeError on a body of the wrong shape.
    static QList<GitLabPipeline> decodeList(const QByteArray &body);
    friend bool operator==(const GitLabPipeline &, const GitLabPipeline &) = default;
};

// One pending to-do of the user (GET /todos): why it is there (GitLab's action name:
// review_requested, assigned, mentioned, directly_addressed, build_failed, approval_required,
// merge_train_removed, …), what it is about and where that lies.
struct GitLabTodo {
    qint64 id = 0;
    QString action;
    QString targetType; // MergeRequest, Issue, Commit, …
    std::optional<QString> title; // the target's title, where it has one
    std::optional<QUrl> targetUrl;
    QString body;
    std::optional<QString> project; // its full path, for a to-do about a project
    QDateTime createdAt;

    // Throws JsonDecodeError on a body of the wrong shape.
    static QList<GitLabTodo> decodeList(const QByteArray &body);
    friend bool operator==(const GitLabTodo &, const GitLabTodo &) = default;
};
