// Decoding the two GitHub answers the modules poll for: a page of ten workflow runs (about
// 140 KB, every run with its repository, actor and commit objects) and fifty notification threads.
#include "integrations/github/GitHubNotification.h"
#include "integrations/github/WorkflowRun.h"

#include <QFile>

#include <benchmark/benchmark.h>

namespace {

QByteArray fixture(const char *name)
{
    QFile file(QStringLiteral(TARNLET_FIXTURES "/") + QString::fromLatin1(name));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("missing fixture %s", name);
    return file.readAll();
}

void decodeWorkflowRunsPage(benchmark::State &state)
{
    const QByteArray body = fixture("github_actions/data/workflow_runs_page.json");
    for (auto _ : state)
        benchmark::DoNotOptimize(WorkflowRunsResponse::decode(body));
    state.SetBytesProcessed(state.iterations() * body.size());
}
BENCHMARK(decodeWorkflowRunsPage)->Unit(benchmark::kMicrosecond);

void decodeNotificationsPage(benchmark::State &state)
{
    const QByteArray body = fixture("github_news/data/notifications_page.json");
    for (auto _ : state)
        benchmark::DoNotOptimize(GitHubNotification::decodeList(body));
    state.SetBytesProcessed(state.iterations() * body.size());
}
BENCHMARK(decodeNotificationsPage)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
