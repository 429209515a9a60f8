// The GitHub client against a real HTTPS server on the loopback address, trusted only by the
// client under test. What the program shows for broken answers is the whole-program fault test's.
#include "Fixture.h"
#include "HttpsTestServer.h"
#include "ManualScheduler.h"
#include "QtPrinters.h"

#include "integrations/github/GitHubBudget.h"
#include "integrations/github/GitHubClient.h"
#include "integrations/github/GitHubCredentials.h"
#include "integrations/github/GitHubTokenState.h"

#include <QLoggingCategory>
#include <QNetworkAccessManager>
#include <QScopeGuard>
#include <QTest>

#include <algorithm>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

using namespace Qt::StringLiterals;
using ::testing::AnyOf;
using Response = HttpsTestServer::Response;

const QString token = u"ghp_SeCrEt0123456789abcdefTOKEN"_s;
const QString runsPath = u"/repos/octo-org/hello-world/actions/runs"_s;

// Starts `server` and returns an endpoint that trusts it alone, taking bodies of up to 1 MiB.
GitHubTransport::Endpoint endpointOf(HttpsTestServer &server)
{
    EXPECT_TRUE(server.start());
    GitHubTransport::Endpoint endpoint;
    endpoint.apiRoot = server.origin();
    endpoint.extraTrustedCertificates = { HttpsTestServer::certificate() };
    endpoint.maximumBodySize = 1 << 20;
    return endpoint;
}

// Every message logged while a test switched the program's categories on.
QStringList logged;

void keepMessage(QtMsgType, const QMessageLogContext &, const QString &message)
{
    logged.append(message);
}

class GitHubClientTest : public ::testing::Test {
protected:
    // Starts a call through `call(callback)` and waits for its one answer.
    template<typename T, typename Call> static GitHubResult<T> await(Call call)
    {
        std::vector<GitHubResult<T>> answers;
        call([&](const GitHubResult<T> &r) { answers.push_back(r); });
        EXPECT_TRUE(QTest::qWaitFor([&] { return !answers.empty(); }, 15000));
        QTest::qWait(1); // a second answer would show here
        // None or two answers: an error no test expects.
        return answers.size() == 1 ? answers[0] : GitHubResult<T>(GitHubError::invalidResponse());
    }

    GitHubResult<Polled<QList<WorkflowRun>>> runs()
    {
        return await<Polled<QList<WorkflowRun>>>(
            [&](auto done) { c.workflowRuns(u"octo-org/hello-world"_s, {}, 10, done); });
    }

    GitHubResult<QByteArray> bytes(const QString &path)
    {
        return await<QByteArray>([&](auto done) { c.getBytes(path, done); });
    }

    HttpsTestServer server;
    GitHubTransport::Endpoint endpoint = endpointOf(server);
    QNetworkAccessManager network;
    GitHubCredentials credentials { token };
    ManualScheduler scheduler;
    GitHubBudget budget { credentials, scheduler };
    GitHubClient c { network, credentials, endpoint };
};

TEST_F(GitHubClientTest, PollsSendTheHeadersInOrderAreConditionalPerTokenDecodeTheRecordsAndCanBeCancelled)
{
    server.setResponse(runsPath,
        { 200,
            { { "ETag", R"(W/"abc")" }, { "x-ratelimit-limit", "5000" }, { "x-ratelimit-remaining", "4210" },
                { "x-ratelimit-used", "790" } },
            R"({"workflow_runs": [{"id": 7, "name": "CI",
        "head_branch": "main", "event": "pull_request", "status": "completed", "conclusion": "success",
        "created_at": "2026-12-07T10:00:00Z", "updated_at": "2026-12-07T10:05:00+01:00",
        "html_url": "https://github.com/o/r/actions/runs/7", "repository": {"full_name": "o/r"},
        "head_repository": {"full_name": "mallory/r"}}]})" });
    const WorkflowRun run { 7, u"CI"_s, u"main"_s, u"completed"_s, u"success"_s,
        QDateTime(QDate(2026, 12, 7), QTime(10, 0), Qt::UTC), QDateTime(QDate(2026, 12, 7), QTime(9, 5), Qt::UTC),
        QUrl(u"https://github.com/o/r/actions/runs/7"_s), u"pull_request"_s, u"o/r"_s, u"mallory/r"_s };
    EXPECT_EQ(runs().value().value, QList { run });
    EXPECT_EQ(server.requests().at(0).target, runsPath.toLatin1() + "?per_page=10");
    const HttpsTestServer::Headers expected { { "Accept", "application/vnd.github+json" },
        { "X-GitHub-Api-Version", "2022-11-28" }, { "Authorization", "Bearer " + token.toUtf8() } };
    const HttpsTestServer::Headers &headers = server.requests().at(0).headers;
    EXPECT_EQ(headers.mid(headers.indexOf(expected[0]), 3), expected) << "in this order";

    // The account's budget reads the limit from the answer; a 304 tells it too, but costs nothing.
    EXPECT_EQ(budget.limit(), 5000);
    EXPECT_EQ(budget.remaining(), 4210);
    EXPECT_EQ(budget.answersLastHour(), 1);
    server.setResponse(runsPath, { 304, { { "x-ratelimit-limit", "5000" }, { "x-ratelimit-used", "800" } }, {} });
    const auto kept = runs();
    EXPECT_TRUE(kept.isOk() && kept.value().unchanged && kept.value().value.size() == 1);
    EXPECT_EQ(server.requests().last().header("If-None-Match"), R"(W/"abc")");
    EXPECT_EQ(budget.remaining(), 4200) << "the limit less what was used";
    EXPECT_EQ(budget.answersLastHour(), 1);
    credentials.setToken(u"ghp_other"_s); // never gets the first token's answer for unchanged
    EXPECT_EQ(budget.limit(), std::nullopt) << "another token may be another account's";
    EXPECT_EQ(runs().error(), GitHubError::http(304));
    credentials.setToken(token);
    EXPECT_EQ(runs().error(), GitHubError::http(304)) << "nor does the first token, once replaced";
    EXPECT_EQ(server.requests().last().header("If-None-Match"), QByteArray());
    // One workflow's runs through its own list, a branch in the query: its "/", "&" and "+" stay its own.
    const QString workflowPath = u"/repos/octo-org/hello-world/actions/workflows/ci.yml/runs"_s;
    server.setResponse(workflowPath, Response::json(R"({"workflow_runs": []})"));
    EXPECT_TRUE(await<Polled<QList<WorkflowRun>>>([&](auto done) {
        c.workflowRuns(u"octo-org/hello-world"_s, RunsFilter { u"feat/a&b+c"_s, u"ci.yml"_s }, 10, done);
    }).isOk());
    EXPECT_EQ(server.requests().last().target, workflowPath.toLatin1() + "?per_page=10&branch=feat%2Fa%26b%2Bc");
    server.setResponse(runsPath, Response::json("{}", 300));
    EXPECT_EQ(bytes(runsPath).error(), GitHubError::http(300)) << "only 2xx is success";

    server.setResponse(u"/notifications"_s,
        { 200, { { "X-Poll-Interval", "120" } },
            readFixture(TARNLET_MODULE_FIXTURES, "github_news/data/notifications_page.json") });
    const auto polled = await<Polled<QList<GitHubNotification>>>(
        [&](auto done) { c.unreadNotifications({ u"octo-org/hello-world"_s }, done); });
    EXPECT_EQ(polled.value().pollInterval, 120);
    EXPECT_EQ(polled.value().value.size(), 44)
        << "of 50 threads, those of the watched repository whatever the case, of every subject type";
    EXPECT_TRUE(std::ranges::any_of(polled.value().value, [](const GitHubNotification &notification) {
        return notification.subject.type == u"CheckSuite" && !notification.subject.url;
    })) << "a subject without an address decodes";
    // GitHub's pause is taken within a minute and an hour: never a poll a second, nor one in 24 days.
    const auto intervalFor = [&](const QByteArray &asked) {
        server.setResponse(u"/notifications"_s, { 200, { { "X-Poll-Interval", asked } }, "[]" });
        return await<Polled<QList<GitHubNotification>>>([&](auto done) { c.unreadNotifications({}, done); })
            .value()
            .pollInterval;
    };
    EXPECT_EQ(intervalFor("2000000000"), 3600);
    EXPECT_EQ(intervalFor("0"), 60);

    server.setResponse(u"/huge"_s, Response::json(QByteArray(1 << 21, ' ') + "{}"));
    EXPECT_EQ(bytes(u"huge"_s).error(), GitHubError::tooLarge());
    server.setResponse(u"/silent"_s, Response::withMode(Response::Mode::NeverAnswer));
    int answers = 0; // a cancelled call never answers
    CancelHandle request = c.getBytes(u"silent"_s, [&](const auto &) { ++answers; });
    ASSERT_TRUE(QTest::qWaitFor([&] { return server.requests().last().target == "/silent"; }, 10000));
    request.cancel();
    QTest::qWait(50);
    EXPECT_EQ(answers, 0);
}

TEST_F(GitHubClientTest, TheTokenGoesOnlyToTheApiOriginOverHttpsInOneHeaderIsRefusedOn401AndRestsWhileLimited)
{
    // Everything below is logged as with QT_LOGGING_RULES="tarnlet.*.debug=true"; the token never is.
    QLoggingCategory::setFilterRules(u"tarnlet.*.debug=true"_s);
    const QtMessageHandler previousHandler = qInstallMessageHandler(keepMessage);
    const auto restoreLogging = qScopeGuard([&] {
        qInstallMessageHandler(previousHandler);
        QLoggingCategory::setFilterRules(QString());
        EXPECT_TRUE(logged.join(u'\n').contains(u"GET /user answered 401"_s)) << "the log is on";
        EXPECT_FALSE(logged.join(u'\n').contains(u"SeCrEt"_s));
    });
    const QString port = QString::number(server.serverPort());
    server.setResponse(u"/repos/o/r/pulls/1"_s, Response::json(R"({"merged_at": "2026-12-07T10:00:00Z"})"));
    server.setResponse(u"/moved"_s, Response::redirect(server.url(u"/repos/o/r/pulls/1"_s)));
    server.setResponse(u"/away"_s, Response::redirect(QUrl("https://localhost:"_L1 + port + "/repos/o/r/pulls/1"_L1)));
    const auto state = [&](const QString &address) {
        return await<PullRequestState>([&](auto done) { c.pullRequestState(address, done); });
    };
    EXPECT_TRUE(state(server.url(u"/moved"_s).toString()).value().isMerged()) << "a redirect on the same origin";
    for (const QString &address : { "https://127.0.0.1:"_L1 + QString::number(server.serverPort() + 1),
             "http://127.0.0.1:"_L1 + port, "https://localhost:"_L1 + port, u"away"_s })
        EXPECT_EQ(state(address).error(), GitHubError::refused()) << address.toStdString();
    EXPECT_EQ(server.requests().size(), 3) << "only the two redirects and the page they led to";
    server.setResponse(u"/repos/o/r/actions/runs/5/cancel"_s, Response::redirect(server.url(u"/repos/o/r/pulls/1"_s)));
    EXPECT_FALSE(await<int>([&](auto done) { c.runCommand(u"o/r"_s, 5, GitHubApi::RunCommand::Cancel, done); }).isOk());
    EXPECT_EQ(server.requests().size(), 4) << "a redirect that would turn a command into a GET is not followed";
    EXPECT_FALSE(bytes(u"x y"_s).error().description().contains(u"SeCrEt"_s));

    // A 401 marks the token refused until a success with it.
    server.setResponse(u"/user"_s, { 401, { { "x-ratelimit-limit", "60" }, { "x-ratelimit-remaining", "59" } }, "{}" });
    EXPECT_EQ(bytes(u"user"_s).error(), GitHubError::http(401));
    EXPECT_TRUE(credentials.isRefused());
    EXPECT_EQ(budget.limit(), std::nullopt) << "the anonymous limit, not the account's";
    // A success also tells when a token that expires ends (here with GitHub's offset form). The
    // login and the scopes come cleaned of what could reorder them on screen, a scope of nothing
    // else is none.
    server.setResponse(u"/user"_s,
        { 200,
            { { "X-OAuth-Scopes", "repo\xE2\x80\xAE, \xE2\x80\xAE, notifications" },
                { "GitHub-Authentication-Token-Expiration", "2027-01-12 09:30:00 +0100" } },
            R"({"login": "octo\u202ecat"})" });
    const auto user = await<GitHubUser>([&](auto done) { c.currentUser(done); });
    EXPECT_EQ(user.value().login, u"octocat"_s);
    EXPECT_EQ(user.value().scopes, QStringList({ u"repo"_s, u"notifications"_s }));
    EXPECT_FALSE(credentials.isRefused());
    EXPECT_EQ(credentials.expiry(), QDateTime::fromString(u"2027-01-12T08:30:00Z"_s, Qt::ISODate));
    // Marking a thread read is a PATCH with the token to the thread's path; GitHub answers 205.
    server.setResponse(u"/notifications/threads/42"_s, { 205, {}, {} });
    EXPECT_EQ(await<int>([&](auto done) { c.markThreadRead(u"42"_s, done); }).value(), 205);
    EXPECT_EQ(server.requests().last().method, "PATCH");
    EXPECT_TRUE(server.requests().last().header("Authorization") == "Bearer " + token.toUtf8()); // never printed
    // An id GitHub never issues goes nowhere: ".." would have marked "notifications/" read.
    const qsizetype before = server.requests().size();
    for (const QString &id : { u".."_s, u""_s, u"4/.."_s, u"0x2a"_s })
        EXPECT_EQ(await<int>([&](auto done) { c.markThreadRead(id, done); }).error(), GitHubError::refused())
            << id.toStdString();
    EXPECT_EQ(await<int>([&](auto done) { c.runCommand(u"o/r"_s, -5, GitHubApi::RunCommand::Cancel, done); }).error(),
        GitHubError::refused());
    EXPECT_EQ(server.requests().size(), before);

    // A spent limit stops every request with the token until its reset (or Retry-After), which
    // counts on GitHub's clock: here the local one runs an hour ahead, so the reset looks past.
    const auto spent = [](qint64 resetAfterDate) {
        const QDateTime gitHubNow = QDateTime::currentDateTimeUtc().addSecs(-3600);
        return Response { 403,
            { { "Date", QLocale::c().toString(gitHubNow, u"ddd, dd MMM yyyy HH:mm:ss 'GMT'"_s).toLatin1() },
                { "X-RateLimit-Remaining", "0" },
                { "X-RateLimit-Reset", QByteArray::number(gitHubNow.toSecsSinceEpoch() + resetAfterDate) } },
            "{}" };
    };
    server.setResponse(u"/spent"_s, spent(3600));
    server.setResponse(u"/secondary"_s, { 429, { { "Retry-After", "120" } }, "{}" });
    EXPECT_NEAR(bytes(u"spent"_s).error().secondsToWait(), 3605, 5);
    // The line shows when the wait ends on the local clock, in minutes as German shows a time.
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const auto endsIn
        = [&](int seconds) { return GitHubTokenState::limitText(QDateTime::currentDateTime().addSecs(seconds)); };
    EXPECT_THAT(GitHubTokenState::problemText(credentials).value(), AnyOf(endsIn(3600), endsIn(3610)));
    const qsizetype sent = server.requests().size();
    EXPECT_EQ(runs().error().kind(), GitHubError::Kind::RateLimited);

    // Pasted with a line break, a token would split the request and smuggle in a header of its own.
    for (const auto &broken : { std::optional(token + u"\r\nX-Evil: 1"_s), std::optional(token + QChar(0x7f)) }) {
        credentials.setToken(broken);
        EXPECT_EQ(runs().error(), GitHubError::refused());
    }
    credentials.setToken(std::nullopt);
    EXPECT_EQ(runs().error(), GitHubError::missingToken());
    EXPECT_EQ(server.requests().size(), sent) << "nothing goes out while GitHub waits or without a fitting token";
    credentials.setToken(u"ghp_fresh"_s);
    server.setResponse(u"/soon"_s, spent(2));
    EXPECT_EQ(bytes(u"soon"_s).error(), GitHubError::rateLimited(60)) << "a spent limit waits a minute at least";
    credentials.setToken(u"ghp_fresher"_s);
    EXPECT_NEAR(bytes(u"secondary"_s).error().secondsToWait(), 120, 5) << "Retry-After alone";
    // GitHub's limits renew within the hour: a wait beyond it, or beyond what a date holds, is an hour.
    const QDateTime now = QDateTime::fromSecsSinceEpoch(QDateTime::currentSecsSinceEpoch(), Qt::UTC);
    for (const auto &[name, value, wait] : { std::tuple("Retry-After", "9223372036854775807", 3600),
             std::tuple("X-RateLimit-Reset", "9223372036854775807", 3605),
             std::tuple("X-RateLimit-Reset", "-9223372036854775808", 60) }) {
        const auto asked
            = GitHubTransport::waitAskedFor({ 403, {}, { { "X-RateLimit-Remaining", "0" }, { name, value } } }, now);
        EXPECT_EQ(asked.value_or(-1), wait) << name << ": " << value;
    }
}

// A second server stands for an Enterprise Server beside the first, which stands for github.com:
// each token goes to its own server's API alone, and the update check to github.com without one.
TEST_F(GitHubClientTest, EachServersTokenGoesToItsOwnApiAloneAndNeverToTheOther)
{
    HttpsTestServer enterprise;
    ASSERT_TRUE(enterprise.start());
    const GitHubServer ghes = GitHubServer::fromAddress(enterprise.origin().toString()).value();
    credentials.useServer(ghes, SecretStore::ReadResult::found(u"ghp_enterprise"_s));
    enterprise.setResponse(u"/api/v3/user"_s, Response::json(R"({"login": "octocat"})"));
    enterprise.setResponse(u"/api/v3/away"_s, Response::redirect(server.url(u"/user"_s)));
    server.setResponse(u"/user"_s, Response::json(R"({"login": "public"})"));
    const auto login = [&] { return await<GitHubUser>([&](auto done) { c.currentUser(done); }).value().login; };

    EXPECT_EQ(login(), u"octocat"_s);
    EXPECT_TRUE(bytes(u"/user"_s).isOk()) << "a leading slash counts from the API root as well";
    EXPECT_EQ(enterprise.requests().at(0).header("Authorization"), "Bearer ghp_enterprise");
    EXPECT_EQ(bytes(u"away"_s).error(), GitHubError::refused()) << "a redirect to the other server";
    EXPECT_EQ(bytes(server.url(u"/user"_s).toString()).error(), GitHubError::refused());
    GitHubClient anonymous { network, endpoint };
    EXPECT_TRUE(await<QByteArray>([&](auto done) { anonymous.getBytes(u"user"_s, done); }).isOk());
    ASSERT_EQ(server.requests().size(), 1);
    EXPECT_FALSE(server.requests().at(0).hasHeader("Authorization")) << "the update check stays anonymous";

    // Back on github.com its own token goes there, and nothing to the Enterprise Server.
    credentials.useServer(GitHubServer(), SecretStore::ReadResult::found(token));
    enterprise.clearRequests();
    EXPECT_EQ(login(), u"public"_s);
    EXPECT_EQ(server.requests().last().header("Authorization"), "Bearer " + token.toUtf8());
    EXPECT_EQ(bytes(enterprise.url(u"/api/v3/user"_s).toString()).error(), GitHubError::refused());
    EXPECT_TRUE(enterprise.requests().isEmpty());
}

} // namespace
