#include "modules/github_actions/RunFilter.h"

#include "modules/github_actions/WorkflowRunState.h"

#include <QRegularExpression>

#include <algorithm>

namespace {

// A workflow file's name as GitHub takes it in a request path: "ci.yml", "deploy.yaml". A path
// (".github/workflows/ci.yml") is reduced to it.
QString workflowFile(const QString &workflow)
{
    static const QRegularExpression file(
        QStringLiteral("^[A-Za-z0-9_.-]+\\.ya?ml$"), QRegularExpression::CaseInsensitiveOption);
    const QString name = workflow.section(u'/', -1);
    return file.match(name).hasMatch() ? name : QString();
}

bool matchesBranch(const QString &pattern, const QString &branch)
{
    if (pattern.endsWith(u'*'))
        return branch.startsWith(QStringView(pattern).chopped(1));
    return branch == pattern;
}

} // namespace

RunFilter::RunFilter(const GitHubRepository::Options &options)
    : m_branches(options.branches)
{
    m_asked.workflowFile = workflowFile(options.workflow);
    if (m_asked.workflowFile.isEmpty())
        m_workflowName = options.workflow;
    if (m_branches.size() == 1 && !m_branches.first().endsWith(u'*'))
        m_asked.branch = m_branches.first();
    // A single branch asked of GitHub still leaves a fork's branch of that name to sift out, but
    // those are few; a page of ten stays enough then.
    m_sifts = !m_workflowName.isEmpty() || (!m_branches.isEmpty() && m_asked.branch.isEmpty());
}

bool RunFilter::matches(const WorkflowRun &run) const
{
    if (!m_workflowName.isEmpty() && run.name.value_or(QString()).compare(m_workflowName, Qt::CaseInsensitive) != 0)
        return false;
    if (m_branches.isEmpty())
        return true;
    const QString branch = WorkflowRunState::branch(run).value_or(QString());
    return std::any_of(
        m_branches.cbegin(), m_branches.cend(), [&](const QString &pattern) { return matchesBranch(pattern, branch); });
}

QList<WorkflowRun> RunFilter::sift(const QList<WorkflowRun> &runs) const
{
    QList<WorkflowRun> chosen;
    for (const WorkflowRun &run : runs) {
        if (chosen.size() < pageSize && matches(run))
            chosen.append(run);
    }
    return chosen;
}
