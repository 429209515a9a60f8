// The GitHub client against a real HTTPS server on the loopback address, trusted only by the
// client under test. How the program shows broken answers is the whole-program fault test's.
#include "Fixture.h"
#include "HttpsTestServer.h"
#include "QtPrinters.h"

#include "services/GitHubClient.h"
#include "services/GitHubCredentials.h"

#include <QNetworkAccessManager>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using namespace Qt::StringLiterals;
using Response = HttpsTestServer::Response;

const QString token = u"ghp_SeCrEt0123456789abcdefTOKEN"_s;
const QString runsPath = u"/repos/octo-org/hello-world/actions/runs"_s;

class GitHubClientTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(server.start()); }

    GitHubClient client(std::optional<QString> withToken = token, qint64 bodyBound = 1 << 24)
    {
        GitHubTransport::Endpoint endpoint;
        endpoint.apiRoot = server.origin();
        endpoint.extraTrustedCertificates = { HttpsTestServer::certificate() };
        endpoint.maximumBodySize = bodyBound;
        credentials.setToken(std::move(withToken));
        return GitHubClient(network, credentials, endpoint);
    }

    // Starts a call through `call(callback)` and waits for its one answer.
    template<typename T, typename Call> static GitHubResult<T> await(Call call)
    {
        std::vector<GitHubResult<T>> answers;
        call([&](const GitHubResult<T> &r) { answers.push_back(r); });
        EXPECT_TRUE(QTest::qWaitFor([&] { return !answers.empty(); }, 15000));
        QTest::qWait(1); // a second answer would show here
        EXPECT_EQ(answers.size(), 1u);
        return answers.empty() ? GitHubResult<T>(GitHubError::invalidResponse()) : answers[0];
    }

    GitHubResult<Polled<QList<WorkflowRun>>> runs(const GitHubClient &c)
    {
        return await<Polled<QList<WorkflowRun>>>([&](auto done) { c.workflowRuns(u"octo-org/hello-world"_s, 10, done); });
    }

    GitHubResult<QByteArray> bytes(const GitHubClient &c, const QString &path)
    {
        return await<QByteArray>([&](auto done) { c.getBytes(path, done); });
    }

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

TEST_F(GitHubClientTest, PollsSendTheHeadersInOrderAreConditionalPerTokenAndDecodeTheRecords)
{
    serve(runsPath, R"({"total_count": 1, "workflow_runs": [{"id": 7, "name": "CI", "head_branch": "main",
        "status": "completed", "conclusion": "success", "created_at": "2026-12-07T10:00:00Z",
        "updated_at": "2026-12-07T10:05:00+01:00", "html_url": "https://github.com/o/r/actions/runs/7"}]})",
        200, { { "ETag", R"(W/"abc")" } });
    const GitHubClient c = client();
    const WorkflowRun run { 7, u"CI"_s, u"main"_s, u"completed"_s, u"success"_s,
        QDateTime(QDate(2026, 12, 7), QTime(10, 0), Qt::UTC), QDateTime(QDate(2026, 12, 7), QTime(9, 5), Qt::UTC),
        QUrl(u"https://github.com/o/r/actions/runs/7"_s) };
    EXPECT_EQ(runs(c).value().value, QList { run });
    const HttpsTestServer::Request request = server.requests().at(0);
    EXPECT_EQ(request.target, runsPath.toLatin1() + "?per_page=10");
    QList<QByteArray> headers;
    for (const auto &[name, value] : request.headers)
        headers.append(name.toLower() + ": " + value);
    const QList<QByteArray> expected { "accept: application/vnd.github+json", "x-github-api-version: 2022-11-28",
        "authorization: Bearer " + token.toUtf8() };
    EXPECT_EQ(headers.mid(headers.indexOf(expected[0]), 3), expected) << "in this order";

    serve(runsPath, "", 304);
    const auto kept = runs(c);
    EXPECT_TRUE(kept.isOk() && kept.value().unchanged && kept.value().value.size() == 1);
    EXPECT_EQ(server.requests().last().header("If-None-Match"), R"(W/"abc")");
    credentials.setToken(u"ghp_other"_s); // never gets the first token's answer for unchanged
    EXPECT_EQ(runs(c).error(), GitHubError::http(304));
    for (int status : { 299, 199, 300 }) {
        serve(runsPath, "{}", status);
        EXPECT_EQ(bytes(c, runsPath).isOk(), status == 299) << status;
    }

    // Of the fixture's 50 threads, only pull requests of the watched repository (same case) are kept.
    serve(u"/notifications"_s, readFixture(TARNLET_MODULE_FIXTURES, "github_pull_requests/data/notifications_page.json"),
        200, { { "X-Poll-Interval", "120" } });
    const auto polled = await<Polled<QList<GitHubNotification>>>(
        [&](auto done) { c.unreadPullRequestNotifications({ u"octo-org/hello-world"_s }, done); });
    EXPECT_EQ(polled.value().pollInterval, 120);
    const QList<GitHubNotification> &threads = polled.value().value;
    ASSERT_EQ(threads.size(), 20);
    for (const GitHubNotification &n : threads)
        EXPECT_TRUE(n.repository.fullName == u"octo-org/hello-world" && n.subject.type == u"PullRequest") << n.id.toStdString();
    EXPECT_EQ(threads[0].subject.title, u"Fix flaky retry in the uploader (0) \u2014 \u201Cquotes\u201D & \u00FCmlauts"_s);
}

TEST_F(GitHubClientTest, TheTokenGoesOnlyToTheApiOriginOverHttpsInOneHeaderAndA401MarksItRefused)
{
    HttpsTestServer elsewhere;
    ASSERT_TRUE(elsewhere.start());
    serve(u"/repos/o/r/pulls/1"_s, R"({"merged_at": "2026-12-07T10:00:00Z"})");
    server.setResponse(u"/moved"_s, Response::redirect(server.url(u"/repos/o/r/pulls/1"_s)));
    server.setResponse(u"/away"_s, Response::redirect(elsewhere.url(u"/pulls/1"_s)));
    const GitHubClient c = client();
    const auto state = [&](const QString &address) {
        return await<PullRequestState>([&](auto done) { c.pullRequestState(address, done); });
    };
    EXPECT_TRUE(state(server.url(u"/moved"_s).toString()).value().isMerged()) << "a redirect on the same origin";
    const QString port = QString::number(server.serverPort());
    for (const QString &address : { elsewhere.url(u"/pulls/1"_s).toString(), "http://127.0.0.1:"_L1 + port,
             "https://localhost:"_L1 + port + "/x"_L1, u"away"_s })
        EXPECT_EQ(state(address).error(), GitHubError::refused()) << address.toStdString();
    EXPECT_TRUE(elsewhere.requests().isEmpty());
    EXPECT_FALSE(bytes(c, u"x y"_s).error().description().contains(u"SeCrEt"_s));

    // A 401 marks the token refused until a success with it; the token is read at every request.
    serve(u"/user"_s, "{}", 401);
    EXPECT_EQ(bytes(c, u"user"_s).error(), GitHubError::http(401));
    EXPECT_TRUE(credentials.isRefused());
    serve(u"/user"_s, R"({"login": "octocat"})", 200, { { "X-OAuth-Scopes", "repo, notifications" } });
    const auto user = await<GitHubUser>([&](auto done) { c.currentUser(done); });
    EXPECT_EQ(user.value().scopes, QStringList({ u"repo"_s, u"notifications"_s }));
    EXPECT_FALSE(credentials.isRefused());
    credentials.setToken(u"ghp_new"_s);
    bytes(c, u"user"_s);
    EXPECT_EQ(server.requests().last().header("Authorization"), "Bearer ghp_new");

    // Pasted with a line break, a token would split the request and smuggle in a header of its own.
    const qsizetype sent = server.requests().size();
    for (const QString &broken : { token + u"\r\nX-Evil: 1"_s, QString(token).insert(4, QChar(0x7f)) })
        EXPECT_EQ(runs(client(broken)).error(), GitHubError::refused());
    EXPECT_EQ(runs(client(std::nullopt)).error(), GitHubError::missingToken());
    EXPECT_EQ(server.requests().size(), sent);
}

TEST_F(GitHubClientTest, ASpentLimitStopsRequestsUntilItsResetTooLargeBodiesFailAndCancelledCallsNeverAnswer)
{
    const qint64 reset = QDateTime::currentSecsSinceEpoch() + 3600;
    serve(u"/spent"_s, "{}", 403, { { "X-RateLimit-Remaining", "0" }, { "X-RateLimit-Reset", QByteArray::number(reset) } });
    serve(u"/secondary"_s, "{}", 429, { { "Retry-After", "120" } });
    serve(u"/huge"_s, QByteArray(5000, ' ') + "{}");
    server.setResponse(u"/silent"_s, Response::withMode(Response::Mode::NeverAnswer));
    EXPECT_EQ(bytes(client(token, 1000), u"huge"_s).error(), GitHubError::tooLarge());
    EXPECT_TRUE(bytes(client(token, 10000), u"huge"_s).isOk());

    int answers = 0;
    const GitHubClient c = client();
    CancelHandle request = c.getBytes(u"silent"_s, [&](const auto &) { ++answers; });
    ASSERT_TRUE(QTest::qWaitFor([&] { return server.requests().last().target == "/silent"; }, 10000));
    request.cancel();
    client(std::nullopt).getBytes(u"x"_s, [&](const auto &) { ++answers; }).cancel();
    credentials.setToken(token);
    EXPECT_NEAR(bytes(c, u"spent"_s).error().secondsToWait(), 3605, 5);
    const qsizetype sent = server.requests().size();
    EXPECT_EQ(runs(c).error().kind(), GitHubError::Kind::RateLimited);
    EXPECT_EQ(server.requests().size(), sent) << "nothing goes out while GitHub waits";
    credentials.setToken(u"ghp_fresh"_s);
    EXPECT_NEAR(bytes(c, u"secondary"_s).error().secondsToWait(), 120, 5);
    EXPECT_EQ(answers, 0);
}

} // namespace
