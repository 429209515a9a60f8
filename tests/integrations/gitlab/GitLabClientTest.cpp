// The GitLab client against a local HTTPS server answering as GitLab: where the token goes, the
// limits it honours, the validators it sends back, and what it reads.
#include "FakeGitLab.h"
#include "InMemorySecretStore.h"
#include "ManualScheduler.h"
#include "TempPreferences.h"

#include "integrations/gitlab/GitLabAccount.h"
#include "integrations/gitlab/GitLabCredentials.h"
#include "integrations/gitlab/GitLabIntegration.h"
#include "integrations/gitlab/GitLabProjects.h"
#include "services/ApiBudget.h"
#include "services/TokenExpiry.h"

#include <gtest/gtest.h>

namespace {

using namespace Qt::StringLiterals;
using Response = HttpsTestServer::Response;

const QString token = u"glpat-SeCrEt0123456789"_s;

class GitLabClientTest : public ::testing::Test {
protected:
    template<typename T, typename Call> ApiResult<T> await(Call call)
    {
        std::optional<ApiResult<T>> answer;
        call([&](const ApiResult<T> &r) { answer = r; });
        EXPECT_TRUE(QTest::qWaitFor([&] { return answer.has_value(); }, 15000));
        return answer.value_or(ApiResult<T>(ApiError::invalidResponse()));
    }
    ApiResult<Polled<QList<GitLabPipeline>>> pipelines()
    {
        return await<Polled<QList<GitLabPipeline>>>([&](auto done) { client.pipelines(7, u"rel/1.0"_s, 10, done); });
    }

    FakeGitLab gitlab;
    ApiTransport::Endpoint endpoint = gitlab.endpoint();
    GitLabCredentials credentials { token };
    ManualScheduler scheduler;
    ApiBudget budget { credentials, scheduler };
    GitLabClient client { gitlab.network, credentials, endpoint };
};

TEST_F(GitLabClientTest, SendsTheTokenToItsApiAloneReadsTheRecordsAndAsksConditionally)
{
    gitlab.server.setResponse(u"/api/v4/projects/7/pipelines"_s,
        { 200,
            { { "ETag", R"(W/"p1")" }, { "RateLimit-Limit", "2000" }, { "RateLimit-Remaining", "1990" },
                { "RateLimit-Observed", "10" } },
            FakeGitLab::list({ FakeGitLab::pipeline(120, "failed", "rel/1.0") }) });
    const auto first = pipelines();
    ASSERT_TRUE(first.isOk());
    const GitLabPipeline &pipeline = first.value().value.at(0);
    EXPECT_EQ(pipeline.iid, 20);
    EXPECT_EQ(pipeline.updatedAt, QDateTime(QDate(2026, 12, 8), QTime(8, 5), Qt::UTC)) << "fractions dropped";
    const HttpsTestServer::Request &request = gitlab.server.requests().at(0);
    EXPECT_EQ(request.target, "/api/v4/projects/7/pipelines?per_page=10&ref=rel%2F1.0");
    EXPECT_EQ(request.header("PRIVATE-TOKEN"), token.toUtf8());
    EXPECT_FALSE(request.hasHeader("Authorization"));
    EXPECT_EQ(budget.limit(), 2000);
    EXPECT_EQ(budget.remaining(), 1990);

    // GitLab's validators go back; a 304 hands back the kept pipelines and costs nothing.
    gitlab.server.setResponse(u"/api/v4/projects/7/pipelines"_s, { 304, {}, {} });
    const auto again = pipelines();
    ASSERT_TRUE(again.isOk());
    EXPECT_TRUE(again.value().unchanged);
    EXPECT_EQ(again.value().value, first.value().value);
    EXPECT_EQ(gitlab.server.requests().last().header("If-None-Match"), R"(W/"p1")");
    EXPECT_EQ(budget.answersLastHour(), 1);

    // A to-do without a target title reads its body; a project path goes escaped as one part.
    gitlab.server.setResponse(
        u"/api/v4/todos"_s, Response::json(R"([{"id":5,"project":null,"action_name":"mentioned","target_type":"Commit",
            "target":{"id":"a1"},"target_url":"https://gitlab.com/x","body":"fix it","state":"pending",
            "created_at":"2026-12-08T09:00:00+01:00"}])"));
    const auto todos = await<Polled<QList<GitLabTodo>>>([&](auto done) { client.todos(done); });
    ASSERT_TRUE(todos.isOk());
    EXPECT_EQ(todos.value().value.at(0).title, std::nullopt);
    EXPECT_EQ(todos.value().value.at(0).body, u"fix it"_s);
    EXPECT_EQ(gitlab.server.requests().last().target, "/api/v4/todos?state=pending&per_page=50");
    gitlab.server.setResponse(u"/api/v4/projects/grp%2Fsub%2Fapp"_s, Response::json(FakeGitLab::project));
    EXPECT_EQ(await<GitLabProject>([&](auto done) { client.project(u"grp/sub/app"_s, done); }).value().defaultBranch,
        u"main"_s);
    EXPECT_FALSE(await<GitLabProject>([&](auto done) { client.project(u"grp/../admin"_s, done); }).isOk());
    EXPECT_EQ(gitlab.server.requests().size(), 4) << "a path that is none was not sent";
}

TEST_F(GitLabClientTest, WaitsAsAsked429AndRefusesARedirectToAnotherHost)
{
    gitlab.server.setResponse(u"/api/v4/todos"_s, { 429, { { "Retry-After", "120" } }, "{}" });
    EXPECT_EQ(
        await<Polled<QList<GitLabTodo>>>([&](auto done) { client.todos(done); }).error(), ApiError::rateLimited(120));
    EXPECT_TRUE(credentials.limitRemaining().has_value());
    EXPECT_EQ(await<QString>([&](auto done) { client.currentUser(done); }).error().kind(), ApiError::Kind::RateLimited);
    EXPECT_EQ(gitlab.server.requests().size(), 1) << "nothing goes out while GitLab asked to wait";

    credentials.setToken(token); // a wait ends with a token set anew
    HttpsTestServer elsewhere;
    ASSERT_TRUE(elsewhere.start());
    gitlab.server.setResponse(u"/api/v4/user"_s, Response::redirect(elsewhere.url(u"/api/v4/user"_s)));
    EXPECT_EQ(await<QString>([&](auto done) { client.currentUser(done); }).error(), ApiError::refused());
    EXPECT_TRUE(elsewhere.requests().isEmpty()) << "the token never reaches another host";
    gitlab.server.setResponse(u"/api/v4/user"_s, Response::redirect(gitlab.server.url(u"/users/sign_in"_s)));
    EXPECT_EQ(await<QString>([&](auto done) { client.currentUser(done); }).error(), ApiError::refused());
    EXPECT_FALSE(gitlab.server.requests().last().path().startsWith("/users")) << "nor the server's pages";
}

// GitLab counts its limit per minute: the budget's quarter is reckoned over the hour from it, so a
// limit of 100 a minute lets a loop of one-second pauses go on at 2.5 s, where an hourly limit of 100
// would stretch it to minutes.
TEST_F(GitLabClientTest, TheBudgetReckonsAPerMinuteLimitOverTheHour)
{
    ApiBudget perMinute { credentials, scheduler, 60 };
    perMinute.take(ApiResponse { 200, {}, { { "RateLimit-Limit", "100" }, { "RateLimit-Remaining", "90" } } });
    ApiBudget::Share share(&perMinute);
    share.pauseAfter(1, true, true);
    EXPECT_NEAR(share.pauseAfter(1, true, true), 3600.0 / (100 * 60 * 0.25 * 0.96 - 1), 0.01);
}

TEST(GitLabProjectsTest, PathsAndAddressesOfTheServerAreTakenAnythingElseRefused)
{
    const GitLabServer server = *GitLabServer::fromAddress(u"https://gitlab.example.com:8443/"_s);
    EXPECT_EQ(server.apiRoot(), QUrl(u"https://gitlab.example.com:8443/api/v4/"_s));
    EXPECT_EQ(server.tokenAccount(), u"gitlab.pat@gitlab.example.com:8443"_s);
    EXPECT_TRUE(GitLabServer::fromAddress(u"https://gitlab.com"_s)->isPublic());
    EXPECT_FALSE(GitLabServer::fromAddress(u"http://gitlab.example.com"_s));
    const auto normalized = [&](const QString &input) {
        const auto result = GitLabProjects::normalize(input, server);
        return std::holds_alternative<QString>(result) ? std::get<QString>(result) : u"refused"_s;
    };
    EXPECT_EQ(normalized(u" grp/sub/app "_s), u"grp/sub/app"_s);
    EXPECT_EQ(normalized(u"https://gitlab.example.com:8443/grp/sub/app.git"_s), u"grp/sub/app"_s);
    EXPECT_EQ(normalized(u"https://gitlab.example.com:8443/grp/app/-/pipelines/9"_s), u"grp/app"_s);
    EXPECT_EQ(normalized(u"https://gitlab.com/grp/app"_s), u"refused"_s) << "another host";
    EXPECT_EQ(normalized(u"app"_s), u"refused"_s);
    EXPECT_EQ(normalized(u"grp/../app"_s), u"refused"_s);
}

// The account moves the token to another server's own item and asks who it belongs to there. It
// asks each token's end: a token ending tomorrow is warned of in the pane and announced once; a
// GitLab that cannot say (an older one, a token without the scope) is no error.
TEST_F(GitLabClientTest, TheAccountSavesPerServerAndAsksWhoTheTokenBelongsTo)
{
    InMemorySecretStore secrets;
    TempPreferences prefs;
    TokenExpiry expiry { credentials, GitLabIntegration::tokenEnd, scheduler, *prefs.store };
    QStringList announced;
    QObject::connect(&expiry, &TokenExpiry::dayBefore, [&](const QString &warning) { announced << warning; });
    const QDate tomorrow = QDateTime::currentDateTimeUtc().date().addDays(1);
    gitlab.server.setResponse(u"/api/v4/personal_access_tokens/self"_s,
        Response::json(R"({"id":9,"active":true,"expires_at":")" + tomorrow.toString(Qt::ISODate).toUtf8() + "\"}"));
    GitLabAccount account { secrets, credentials, client, expiry, *prefs.store };
    gitlab.server.setResponse(u"/api/v4/user"_s, Response::json(R"({"id":1,"username":"ada"})"));
    account.lookUpIfUnknown();
    // The token stops working as its day begins in UTC, said in local time.
    const QString warning = u"GitLab-Token läuft am %1 ab"_s.arg(
        TokenExpiry::dayAndMonth(QDateTime(tomorrow, QTime(0, 0), Qt::UTC).toLocalTime().date()));
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return account.statusText() == u"Angemeldet als ada"_s && account.lines().value(1).text == warning; },
        15000));
    EXPECT_EQ(announced, QStringList { warning });
    EXPECT_FALSE(prefs.store->stringValue(u"gitlab.tokenExpiryWarned"_s).isEmpty());
    EXPECT_EQ(gitlab.sent().filter(u"personal_access_tokens"_s).size(), 1) << "once for the token";
    // The local server stands for a self-managed one: its own item, its own API root.
    const QString selfManaged = gitlab.server.origin().toString();
    account.setServer(selfManaged);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !account.isBusy(); }, 5000));
    EXPECT_EQ(prefs.store->stringValue(GitLabServer::preferenceKey), selfManaged);
    EXPECT_EQ(account.statusText(), u"Kein Token hinterlegt."_s);
    EXPECT_FALSE(expiry.warningText()) << "the end was the other token's";
    gitlab.server.setResponse(
        u"/api/v4/personal_access_tokens/self"_s, Response::json(R"({"message":"404 Not Found"})", 404));
    account.save(u"  glpat-other "_s);
    EXPECT_TRUE(QTest::qWaitFor([&] { return account.statusText() == u"Angemeldet als ada"_s; }, 15000));
    gitlab.settle();
    EXPECT_EQ(account.statusText(), u"Angemeldet als ada"_s);
    EXPECT_TRUE(account.lines().value(1).text.isEmpty());
    EXPECT_EQ(secrets.items.value(u"gitlab.pat@"_s + gitlab.server.origin().authority()), u"glpat-other"_s);
    EXPECT_EQ(gitlab.server.requests().last().header("PRIVATE-TOKEN"), "glpat-other");
}

} // namespace
