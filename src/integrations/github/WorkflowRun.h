#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QUrl>

#include <optional>

class JsonReader;

// One GitHub Actions workflow run as the repository's run list gives it. Status and conclusion
// keep the API's raw words, so values this program does not know survive decoding.
struct WorkflowRun {
    qint64 id = 0;
    std::optional<QString> name;
    std::optional<QString> headBranch;
    std::optional<QString> status;
    std::optional<QString> conclusion;
    QDateTime createdAt;
    QDateTime updatedAt;
    QUrl htmlURL;
    std::optional<QString> event; // what started the run: "push", "pull_request", …
    std::optional<QString> repository; // "owner/name" of the repository the run belongs to
    // "owner/name" of the repository the run's commit comes from: a fork's for a pull request from
    // one; none when GitHub names none (the fork was deleted).
    std::optional<QString> headRepository;

    // Throws JsonDecodeError naming the first key that fails.
    static WorkflowRun decode(const JsonReader &json);

    friend bool operator==(const WorkflowRun &, const WorkflowRun &) = default;
};

// The envelope of the run list: {"total_count": ..., "workflow_runs": [...]}.
struct WorkflowRunsResponse {
    QList<WorkflowRun> workflowRuns;

    // Throws JsonDecodeError; one broken run fails the whole answer.
    static WorkflowRunsResponse decode(const QByteArray &body);
};
