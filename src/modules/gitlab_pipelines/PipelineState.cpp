#include "modules/gitlab_pipelines/PipelineState.h"

#include <QCoreApplication>

#include <algorithm>

namespace PipelineState {

namespace {

bool isFinished(const GitLabPipeline &pipeline)
{
    return pipeline.status == u"success" || pipeline.status == u"failed" || pipeline.status == u"canceled";
}

} // namespace

bool isActive(const GitLabPipeline &pipeline)
{
    static const QStringList active { QStringLiteral("created"), QStringLiteral("waiting_for_resource"),
        QStringLiteral("preparing"), QStringLiteral("pending"), QStringLiteral("running") };
    return active.contains(pipeline.status);
}

bool isFailure(const GitLabPipeline &pipeline)
{
    return pipeline.status == u"failed";
}

ModuleStatus::Severity severity(const GitLabPipeline &pipeline)
{
    if (isActive(pipeline))
        return ModuleStatus::Severity::Active;
    if (isFailure(pipeline))
        return ModuleStatus::Severity::Failing;
    if (pipeline.status == u"success")
        return ModuleStatus::Severity::Fine;
    return ModuleStatus::Severity::Idle;
}

QString word(const GitLabPipeline &pipeline)
{
    static const QList<std::pair<QString, const char *>> words {
        { QStringLiteral("created"), QT_TRANSLATE_NOOP("PipelineState", "erstellt") },
        { QStringLiteral("waiting_for_resource"), QT_TRANSLATE_NOOP("PipelineState", "wartet auf Ressource") },
        { QStringLiteral("preparing"), QT_TRANSLATE_NOOP("PipelineState", "wird vorbereitet") },
        { QStringLiteral("pending"), QT_TRANSLATE_NOOP("PipelineState", "wartet") },
        { QStringLiteral("running"), QT_TRANSLATE_NOOP("PipelineState", "läuft") },
        { QStringLiteral("success"), QT_TRANSLATE_NOOP("PipelineState", "erfolgreich") },
        { QStringLiteral("failed"), QT_TRANSLATE_NOOP("PipelineState", "fehlgeschlagen") },
        { QStringLiteral("canceled"), QT_TRANSLATE_NOOP("PipelineState", "abgebrochen") },
        { QStringLiteral("skipped"), QT_TRANSLATE_NOOP("PipelineState", "übersprungen") },
        { QStringLiteral("manual"), QT_TRANSLATE_NOOP("PipelineState", "wartet auf Freigabe") },
        { QStringLiteral("scheduled"), QT_TRANSLATE_NOOP("PipelineState", "geplant") },
    };
    const auto found
        = std::find_if(words.cbegin(), words.cend(), [&](const auto &entry) { return entry.first == pipeline.status; });
    return found == words.cend() ? pipeline.status : QCoreApplication::translate("PipelineState", found->second);
}

QString name(const GitLabPipeline &pipeline)
{
    return QCoreApplication::translate("PipelineState", "Pipeline #%1").arg(pipeline.iid.value_or(pipeline.id));
}

QList<News> finishedSince(
    const QList<GitLabPipeline> &previous, const QList<GitLabPipeline> &current, const QString &project)
{
    QList<News> news;
    for (qsizetype i = current.size() - 1; i >= 0; --i) {
        const GitLabPipeline &pipeline = current[i];
        const auto before = std::find_if(
            previous.cbegin(), previous.cend(), [&](const GitLabPipeline &p) { return p.id == pipeline.id; });
        const bool newlyFinished = isFinished(pipeline) && (before == previous.cend() || !isFinished(*before));
        // A pipeline older than all of the previous answer finished before it was seen.
        const bool olderThanSeen = before == previous.cend() && !previous.isEmpty()
            && std::all_of(previous.cbegin(), previous.cend(), [&](const auto &p) { return p.id > pipeline.id; });
        if (!newlyFinished || olderThanSeen)
            continue;
        const QString where = project + QStringLiteral(" \u00B7 ") + pipeline.ref;
        if (isFailure(pipeline)) {
            news.append({ QCoreApplication::translate("PipelineState", "Pipeline fehlgeschlagen: %1").arg(where),
                ModuleStatus::Severity::Failing, pipelineFailed, pipeline.webUrl });
            continue;
        }
        if (pipeline.status != u"success")
            continue;
        // The finished pipeline before it, in this answer or, past its end, in the previous one.
        std::optional<GitLabPipeline> predecessor;
        for (qsizetype j = i + 1; j < current.size() && !predecessor; ++j) {
            if (isFinished(current[j]))
                predecessor = current[j];
        }
        for (const GitLabPipeline &p : previous) {
            if (!predecessor && p.id < pipeline.id && isFinished(p))
                predecessor = p;
        }
        if (predecessor && isFailure(*predecessor))
            news.append({ QCoreApplication::translate("PipelineState", "Pipeline wieder erfolgreich: %1").arg(where),
                ModuleStatus::Severity::Fine, pipelineFixed, pipeline.webUrl });
    }
    return news;
}

} // namespace PipelineState
