// The GitHub client against a real HTTPS server on the loopback address, trusted only by the
// client under test.
#include "Fixture.h"
#include "HttpsTestServer.h"
#include "QtPrinters.h"

#include "services/GitHubClient.h"
#include "services/GitHubCredentials.h"

#include <QDateTime>
#include <QNetworkAccessManager>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using Response = HttpsTestServer::Response;
using Kind = GitHubError::Kind;

const QString token = QStringLiteral("ghp_SeCrEt0123456789abcdefTOKEN");
const QString repo = QStringLiteral("octo-org/hello-world");

QByteArray fixture(const char *name)
{
    return readFixture(TARNLET_MODULE_FIXTURES, name);
}

const QByteArray oneRun = R"({"total_count": 1, "workflow_runs": [{"id": 7, "name": "CI", "head_branch": "main",
    "status": "completed", "conclusion": "success", "created_at": "2026-12-07T10:00:00Z",
    "updated_at": "2026-12-07T10:05:00+01:00", "html_url": "https://github.com/o/r/actions/runs/7"}]})";

class GitHubClientTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(server.start()); }

    GitHubClient client(std::optional<QString> withToken = token, int timeoutMs = 10000, qint64 bound = 1 << 24)
    {
        GitHubTransport::Endpoint endpoint;
        endpoint.apiRoot = server.origin();
        endpoint.extraTrustedCertificates = { HttpsTestServer::certificate() };
        endpoint.transferTimeoutMs = timeoutMs;
        endpoint.maximumBodySize = bound;
        credentials.setToken(std::move(withToken));
        return GitHubClient(network, credentials, endpoint);
    }

    // Starts a call through `call(callback)` and waits for its one answer.
    template<typename T, typename Call> static GitHubResult<T> await(Call call)
    {
        std::optional<GitHubResult<T>> result;
        int answers = 0;
        call([&](const GitHubResult<T> &r) {
            result.emplace(r);
            ++answers;
        });
        EXPECT_TRUE(QTest::qWaitFor([&] { return answers > 0; }, 15000));
        QTest::qWait(1); // a second answer would show here
        EXPECT_EQ(answers, 1);
        return result.value_or(GitHubError::invalidResponse());
    }

    GitHubResult<Polled<QList<WorkflowRun>>> runs(const GitHubClient &c)
    {
        return await<Polled<QList<WorkflowRun>>>([&](auto done) { c.workflowRuns(repo, 10, done); });
    }

    GitHubResult<QByteArray> bytes(const GitHubClient &c, const QString &path)
    {
        return await<QByteArray>([&](auto done) { c.getBytes(path, done); });
    }

    // Answers requests for `path` with `body`, `status` and `headers`.
    void serve(const QString &path, const QByteArray &body, int status = 200, HttpsTestServer::Headers headers = {})
    {
        Response response = Response::json(body, status);
        response.headers = std::move(headers);
        server.setResponse(path, response);
    }

    HttpsTestServer server;
    QNetworkAccessManager network;
    GitHubCredentials credentials;
};

TEST_F(GitHubClientTest, PollsSendTheHeadersInOrderAreConditionalAndSucceedOnTwoHundredsOnly)
{
    const QString runsPath = QStringLiteral("/repos/octo-org/hello-world/actions/runs");
    serve(runsPath, oneRun, 200, { { "ETag", R"(W/"abc")" }, { "Last-Modified", "Mon, 07 Dec 2026 10:05:00 GMT" } });
    const GitHubClient c = client();
    ASSERT_TRUE(runs(c).isOk());
    const HttpsTestServer::Request request = server.requests().at(0);
    EXPECT_EQ(request.target, runsPath.toLatin1() + "?per_page=10");
    QList<QByteArray> headers;
    for (const auto &[name, value] : request.headers)
        headers.append(name.toLower() + ": " + value);
    const QList<QByteArray> expected { "accept: application/vnd.github+json", "x-github-api-version: 2022-11-28",
        "authorization: Bearer " + token.toUtf8() };
    EXPECT_EQ(headers.mid(headers.indexOf(expected[0]), 3), expected) << "in this order";
    EXPECT_EQ(request.header("User-Agent"), "Tarnlet/" TARNLET_VERSION);
    EXPECT_FALSE(request.hasHeader("If-None-Match"));

    serve(runsPath, "", 304);
    const auto kept = runs(c);
    ASSERT_TRUE(kept.isOk()) << kept.error().description().toStdString();
    EXPECT_TRUE(kept.value().unchanged);
    EXPECT_EQ(kept.value().value.size(), 1);
    EXPECT_EQ(server.requests().last().header("If-None-Match"), R"(W/"abc")");
    EXPECT_EQ(server.requests().last().header("If-Modified-Since"), "Mon, 07 Dec 2026 10:05:00 GMT");

    // Another token never gets the first token's answer for unchanged. (A 304 to a plain call is
    // no success: the updater's table of answers meets that rule of the shared transport.)
    credentials.setToken(QStringLiteral("ghp_other"));
    EXPECT_EQ(runs(c).error(), GitHubError::http(304));
    EXPECT_FALSE(server.requests().last().hasHeader("If-None-Match"));
    for (int status : { 200, 299, 199, 300 }) {
        serve(runsPath, "{}", status);
        EXPECT_EQ(bytes(c, runsPath).isOk(), status / 100 == 2) << status;
    }

    // The notifications say how long to wait before asking again. Of the fixture's 50 threads,
    // those of "octo-org/Hello-World" (other case), of other repositories and of issues, releases,
    // check suites and discussions are dropped.
    serve(QStringLiteral("/notifications"), fixture("github_pull_requests/data/notifications_page.json"), 200,
        { { "X-Poll-Interval", "120" } });
    const auto polled
        = await<Polled<QList<GitHubNotification>>>([&](auto done) { c.unreadPullRequestNotifications({ repo }, done); });
    EXPECT_EQ(polled.value().pollInterval, 120);
    const QList<GitHubNotification> &threads = polled.value().value;
    ASSERT_EQ(threads.size(), 20);
    for (const GitHubNotification &n : threads)
        EXPECT_TRUE(n.repository.fullName == repo && n.subject.type == u"PullRequest") << n.id.toStdString();
}

// A body cut off mid-way is a transport failure too; the updater's table of answers meets it.
TEST_F(GitHubClientTest, BrokenTransfersAndBodiesFailWithTheirOwnKindsAndACancelledCallNeverAnswers)
{
    server.setResponse(QStringLiteral("/silent"), Response::withMode(Response::Mode::NeverAnswer));
    server.setResponse(QStringLiteral("/huge"), Response::json(QByteArray(5000, ' ') + "{}"));
    server.setResponse(QStringLiteral("/repos/octo-org/hello-world/actions/runs"),
        Response::json(R"({"workflow_runs": [{"id": 1, "created_at": "2026-12-07T10:00:00Z"}]})"));

    EXPECT_EQ(bytes(client(token, 300), QStringLiteral("silent")).error().kind(), Kind::Transport);
    EXPECT_EQ(bytes(client(token, 10000, 1000), QStringLiteral("huge")).error(), GitHubError::tooLarge());
    EXPECT_TRUE(bytes(client(token, 10000, 10000), QStringLiteral("huge")).isOk());

    const GitHubError decodeError = runs(client()).error();
    EXPECT_EQ(decodeError.kind(), Kind::Decode);
    EXPECT_TRUE(decodeError.detail().contains(QStringLiteral("workflow_runs[0].updated_at")))
        << decodeError.detail().toStdString();

    // A cancelled call never answers, neither one under way nor one that could not be sent.
    int answers = 0;
    const qsizetype sent = server.requests().size();
    CancelHandle request = client().getBytes(QStringLiteral("silent"), [&](const auto &) { ++answers; });
    ASSERT_TRUE(QTest::qWaitFor([&] { return server.requests().size() > sent; }, 10000));
    request.cancel();
    client(std::nullopt).getBytes(QStringLiteral("x"), [&](const auto &) { ++answers; }).cancel();
    QTest::qWait(50);
    EXPECT_EQ(answers, 0);
}

TEST_F(GitHubClientTest, TheTokenTravelsOnlyToTheApiOriginOverHttps)
{
    HttpsTestServer elsewhere;
    ASSERT_TRUE(elsewhere.start());
    elsewhere.setResponse(QStringLiteral("/pulls/1"), Response::json(R"({"merged_at": null})"));
    server.setResponse(
        QStringLiteral("/repos/o/r/pulls/1"), Response::json(R"({"merged_at": "2026-12-07T10:00:00Z"})"));
    server.setResponse(QStringLiteral("/moved"), Response::redirect(server.url(QStringLiteral("/repos/o/r/pulls/1"))));
    server.setResponse(QStringLiteral("/away"), Response::redirect(elsewhere.url(QStringLiteral("/pulls/1"))));
    const GitHubClient c = client();
    const auto state = [&](const QString &address) {
        return await<PullRequestState>([&](auto done) { c.pullRequestState(address, done); });
    };

    const auto sameOrigin = state(server.url(QStringLiteral("/repos/o/r/pulls/1")).toString());
    ASSERT_TRUE(sameOrigin.isOk());
    EXPECT_TRUE(sameOrigin.value().isMerged());
    EXPECT_EQ(server.requests().last().header("Authorization"), "Bearer " + token.toUtf8());

    // Another port, another scheme, another host, a scheme-relative path: refused, nothing sent.
    const QString port = QString::number(server.serverPort());
    for (const QString &address : { elsewhere.url(QStringLiteral("/pulls/1")).toString(),
             QStringLiteral("http://127.0.0.1:") + port + QStringLiteral("/x"),
             QStringLiteral("https://localhost:") + port + QStringLiteral("/x") }) {
        EXPECT_EQ(state(address).error(), GitHubError::refused()) << address.toStdString();
    }
    EXPECT_EQ(server.requests().size(), 1);

    // A redirect is followed on the same origin only; one leading elsewhere is not followed at all.
    EXPECT_TRUE(state(server.url(QStringLiteral("/moved")).toString()).isOk());
    EXPECT_EQ(state(QStringLiteral("away")).error(), GitHubError::refused());
    EXPECT_TRUE(elsewhere.requests().isEmpty());

    // No error says anything about the token.
    for (const GitHubError &error : { state(QStringLiteral("away")).error(), bytes(client(token, 200), QStringLiteral("x y")).error() })
        EXPECT_FALSE(error.description().contains(QStringLiteral("SeCrEt")));
}

TEST_F(GitHubClientTest, TheTokenIsReadAtEveryRequestA401MarksItRefusedAndABrokenOneIsNeverSent)
{
    serve(QStringLiteral("/user"), "{}", 401);
    const GitHubClient c = client(QStringLiteral("ghp_old"));
    EXPECT_EQ(bytes(c, QStringLiteral("user")).error(), GitHubError::http(401));
    EXPECT_TRUE(credentials.isRefused());

    // A token set on the credentials goes with the very next request of the same client.
    credentials.setToken(QStringLiteral("ghp_new"));
    EXPECT_FALSE(credentials.isRefused());
    serve(QStringLiteral("/user"), R"({"login": "octocat"})", 200, { { "X-OAuth-Scopes", "repo, notifications" } });
    const auto classic = await<GitHubUser>([&](auto done) { c.currentUser(done); });
    ASSERT_TRUE(classic.isOk()) << classic.error().description().toStdString();
    EXPECT_EQ(server.requests().last().header("Authorization"), "Bearer ghp_new");
    EXPECT_EQ(classic.value().scopes, QStringList({ QStringLiteral("repo"), QStringLiteral("notifications") }));

    // Refused, then accepted again by a success with the same token.
    serve(QStringLiteral("/x"), "{}", 401);
    bytes(c, QStringLiteral("x"));
    EXPECT_TRUE(credentials.isRefused());
    serve(QStringLiteral("/user"), R"({"login": "octocat"})");
    const auto fineGrained = await<GitHubUser>([&](auto done) { c.currentUser(done); });
    ASSERT_TRUE(fineGrained.isOk());
    EXPECT_EQ(fineGrained.value().scopes, std::nullopt); // no header: a fine-grained token
    EXPECT_FALSE(credentials.isRefused());

    credentials.setToken(std::nullopt);
    const qsizetype sent = server.requests().size();
    EXPECT_EQ(bytes(c, QStringLiteral("user")).error(), GitHubError::missingToken());
    // Pasted with a line break, a token would split the request and smuggle in a header of its own.
    for (const QString &broken : { token + QStringLiteral("\r\nX-Evil: 1"), QString(token).insert(4, QChar(0x7f)) })
        EXPECT_EQ(runs(client(broken)).error(), GitHubError::refused());
    EXPECT_EQ(server.requests().size(), sent) << "nothing is sent without a token that fits a header";
}

TEST_F(GitHubClientTest, ASpentLimitStopsEveryRequestWithTheTokenUntilItsReset)
{
    const qint64 reset = QDateTime::currentSecsSinceEpoch() + 3600;
    serve(QStringLiteral("/spent"), "{}", 403, { { "X-RateLimit-Remaining", "0" }, { "X-RateLimit-Reset", QByteArray::number(reset) } });
    serve(QStringLiteral("/forbidden"), "{}", 403, { { "X-RateLimit-Remaining", "4999" } });
    serve(QStringLiteral("/secondary"), "{}", 429, { { "Retry-After", "120" } });

    const GitHubClient c = client();
    EXPECT_EQ(bytes(c, QStringLiteral("forbidden")).error(), GitHubError::http(403)); // an ordinary refusal
    EXPECT_EQ(credentials.limitedUntil(), std::nullopt);

    const GitHubError limited = bytes(c, QStringLiteral("spent")).error();
    EXPECT_EQ(limited.kind(), Kind::RateLimited);
    EXPECT_EQ(credentials.limitedUntil(), QDateTime::fromSecsSinceEpoch(reset + 5, Qt::UTC));
    EXPECT_NEAR(limited.secondsToWait(), 3605, 5);
    const qsizetype sent = server.requests().size();
    EXPECT_EQ(runs(c).error().kind(), Kind::RateLimited);
    EXPECT_EQ(server.requests().size(), sent) << "nothing goes out while GitHub waits";

    // Retry-After alone (the secondary limits) waits that many seconds.
    credentials.setToken(QStringLiteral("ghp_fresh"));
    EXPECT_NEAR(bytes(c, QStringLiteral("secondary")).error().secondsToWait(), 120, 5);
}

} // namespace
