// The answer to GET /user. The input's first line is the X-OAuth-Scopes header, the rest the
// body; an input without a line break is a body alone (a fine-grained token's answer).
#include "FuzzInput.h"

#include "integrations/github/GitHubClient.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input = fuzzBytes(data, size);
    GitHubResponse answer;
    const qsizetype lineEnd = input.indexOf('\n');
    if (lineEnd < 0) {
        answer.body = input;
    } else {
        answer.headers.append({ QByteArrayLiteral("X-OAuth-Scopes"), input.left(lineEnd) });
        answer.body = input.mid(lineEnd + 1);
    }
    decodeOrRefuse([&] {
        const GitHubUser user = GitHubClient::decodeUser(answer);
        for (const QString &scope : user.scopes.value_or(QStringList()))
            fuzzCheck(!scope.isEmpty() && !scope.contains(u','), "a scope is one non-empty name");
    });
    return 0;
}
