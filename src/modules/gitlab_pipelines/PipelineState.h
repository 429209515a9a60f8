#pragma once

#include "core/ModuleStatus.h"
#include "integrations/gitlab/GitLabRecords.h"

#include <QList>
#include <QString>
#include <QUrl>

// What a GitLab pipeline's status means to the user: its severity, its state word in the user's
// language, what may be asked of it, and the news of pipelines that finished between two answers.
namespace PipelineState {

// The kinds of news a pipeline's end makes, each with its switch.
inline const QString pipelineFailed = QStringLiteral("gitlab.pipelineFailed");
inline const QString pipelineFixed = QStringLiteral("gitlab.pipelineFixed");

// Created, waiting for a resource, preparing, pending or running: not finished, so the project is
// polled every 15 s while one such pipeline is there.
bool isActive(const GitLabPipeline &pipeline);
bool isFailure(const GitLabPipeline &pipeline);
// Active while not finished, then fine for success, failing for a failure, else idle.
ModuleStatus::Severity severity(const GitLabPipeline &pipeline);
// One word or two, translated ("läuft", "fehlgeschlagen"); a word GitLab adds later is shown as it comes.
QString word(const GitLabPipeline &pipeline);
// "Pipeline #12", by its number within the project where GitLab names it.
QString name(const GitLabPipeline &pipeline);

struct News {
    QString text;
    ModuleStatus::Severity severity;
    QString kind; // pipelineFailed or pipelineFixed
    QUrl page;
};

// The pipelines of `current` that finished since `previous` (both one project's answers for one
// branch, newest first), oldest first: "Pipeline fehlgeschlagen: <project> · <branch>", failing,
// for a failure; "Pipeline wieder erfolgreich: <project> · <branch>", fine, for a success whose
// finished predecessor failed. Nothing else is news.
QList<News> finishedSince(
    const QList<GitLabPipeline> &previous, const QList<GitLabPipeline> &current, const QString &project);

} // namespace PipelineState
