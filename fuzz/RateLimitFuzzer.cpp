// The head of a GitHub answer that may ask to wait: the status on the first line, then header
// lines "Name: value" (Retry-After, X-RateLimit-Remaining, X-RateLimit-Reset).
#include "FuzzInput.h"

#include "integrations/github/GitHubTransport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QList<QByteArray> lines = fuzzBytes(data, size).split('\n');
    GitHubResponse answer;
    answer.status = lines.first().toInt();
    for (const QByteArray &line : lines.mid(1)) {
        const qsizetype colon = line.indexOf(':');
        if (colon > 0)
            answer.headers.append({ line.left(colon), line.mid(colon + 1) });
    }
    const QDateTime now = QDateTime::fromSecsSinceEpoch(1796670000, Qt::UTC); // in December 2026
    if (const std::optional<qint64> wait = GitHubTransport::waitAskedFor(answer, now))
        fuzzCheck(*wait >= 1 && *wait <= 3605, "a wait lasts from a second to the hour and its margin");
    return 0;
}
