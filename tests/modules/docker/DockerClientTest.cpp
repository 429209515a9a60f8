#include "DockerPrinters.h"
#include "Fixture.h"
#include "QtPrinters.h"
#include "UnixHttpServer.h"

#include "core/TimerScheduler.h"
#include "modules/docker/DockerClient.h"
#include "services/QtProcessRunner.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

#include <gtest/gtest.h>

namespace {

using Result = ContainerSource::Result;

QByteArray testData(const char *name)
{
    return readFixture(TARNLET_DOCKER_TEST_DATA, name);
}

// The real client, the real curl and the real process runner against a socket in a fresh folder.
struct ClientTest : ::testing::Test {
    QTemporaryDir dir;
    QString socketPath = dir.filePath(QStringLiteral("docker.sock"));
    TimerScheduler scheduler;
    QtProcessRunner runner { scheduler };

    Result list(QStringList candidates, ProcessRunner::Limits limits = {})
    {
        DockerClient client(runner, limits, std::move(candidates));
        std::optional<Result> result;
        client.listContainers([&](const Result &r) { result = r; });
        EXPECT_FALSE(result) << "answered inside the call";
        EXPECT_TRUE(QTest::qWaitFor([&] { return result.has_value(); }, 20000));
        return result.value_or(DockerError::launchFailed(QStringLiteral("no answer")));
    }

    Result listFrom(UnixHttpServer::Reply reply, ProcessRunner::Limits limits = {})
    {
        UnixHttpServer server(socketPath);
        EXPECT_TRUE(server.isListening());
        server.setReply(std::move(reply));
        return list({ socketPath }, limits);
    }

    static DockerError errorOf(const Result &result)
    {
        const auto *error = std::get_if<DockerError>(&result);
        return error ? *error : DockerError::launchFailed(QStringLiteral("unexpected success"));
    }
};

TEST_F(ClientTest, ReadsTheListInTheEnginesOrderIgnoringKeysItDoesNotNeed)
{
    UnixHttpServer server(socketPath);
    ASSERT_TRUE(server.isListening());
    server.setReply({ 200, testData("containers.json") });
    const Result result = list({ dir.filePath(QStringLiteral("missing.sock")), socketPath });

    ASSERT_TRUE(std::holds_alternative<DockerContainerList>(result)) << errorOf(result).detail.toStdString();
    const auto &containers = std::get<DockerContainerList>(result);
    ASSERT_EQ(containers.size(), 2);
    EXPECT_EQ(containers[0],
        (DockerContainer { QStringLiteral("5586804b4790449faf50bcafb7b55105630a8150c96c93c3c370b7554e3997b6"),
            { QStringLiteral("/stopped") }, QStringLiteral("tarnlet-e2e:busybox"), QStringLiteral("exited"),
            QStringLiteral("Exited (0) Less than a second ago") }));
    EXPECT_EQ(containers[1].names, QStringList({ QStringLiteral("/running"), QStringLiteral("/other/alias") }));
    EXPECT_EQ(containers[1].state, QStringLiteral("running"));

    ASSERT_EQ(server.requests().size(), 1);
    const QList<QByteArray> head = server.requests().first().split('\n');
    EXPECT_EQ(head.first().trimmed(), "GET /containers/json?all=true HTTP/1.1");
    EXPECT_TRUE(head.contains("Host: localhost\r"));
}

TEST_F(ClientTest, EmptyListIsAnAnswerNotAnError)
{
    const Result result = listFrom({ 200, "[]" });
    ASSERT_TRUE(std::holds_alternative<DockerContainerList>(result));
    EXPECT_TRUE(std::get<DockerContainerList>(result).isEmpty());
}

TEST_F(ClientTest, HttpErrorsAndStaleSocketsFailWithCurlsExitStatus)
{
    EXPECT_EQ(errorOf(listFrom({ 500, R"({"message":"boom"})" })), DockerError::requestFailed(22));

    ASSERT_TRUE(UnixHttpServer::makeStaleSocket(socketPath));
    ASSERT_TRUE(QFile::exists(socketPath));
    EXPECT_EQ(errorOf(list({ socketPath })), DockerError::requestFailed(7));
}

TEST_F(ClientTest, StartAndStopArePostsAndARefusalCarriesTheEnginesMessage)
{
    UnixHttpServer server(socketPath);
    ASSERT_TRUE(server.isListening());
    DockerClient client(runner, {}, { socketPath });
    const auto command = [&](const QString &id, bool running) {
        std::optional<ContainerSource::CommandResult> result;
        client.setRunning(id, running, [&](const ContainerSource::CommandResult &r) { result = r; });
        EXPECT_TRUE(QTest::qWaitFor([&] { return result.has_value(); }, 20000));
        return result.value_or(DockerError::launchFailed(QStringLiteral("no answer")));
    };

    server.setReply({ 204, {} });
    EXPECT_EQ(command(QStringLiteral("abc123"), true), std::nullopt);
    server.setReply({ 404, R"({"message":"No such container: a b"})" });
    EXPECT_EQ(command(QStringLiteral("a b"), false), DockerError::refused(QStringLiteral("No such container: a b")));
    server.setReply({ 500, "not json" });
    EXPECT_EQ(command(QStringLiteral("abc123"), false), DockerError::refused(QString()));

    ASSERT_EQ(server.requests().size(), 3);
    EXPECT_EQ(server.requests()[0].split('\n').first().trimmed(), "POST /containers/abc123/start HTTP/1.1");
    EXPECT_EQ(server.requests()[1].split('\n').first().trimmed(), "POST /containers/a%20b/stop HTTP/1.1");
}

TEST_F(ClientTest, AnswersThatAreNotAContainerListFailWhole)
{
    const QByteArray valid = R"({"Id":"a","Names":["/a"],"Image":"i","State":"running","Status":"Up"})";
    const struct {
        QByteArray body;
        const char *failingKey;
    } cases[] = {
        { "", nullptr },
        { "[{", nullptr },
        { valid, nullptr }, // one object, not a list
        { "[" + valid + R"(,{"Id":"b","Image":"i","State":"exited","Status":"Exited"}])", "[1].Names" },
        { "[" + valid + R"(,{"Id":"b","Names":null,"Image":"i","State":"exited","Status":"Exited"}])", "[1].Names" },
        { R"([{"Id":"b","Names":["/b",7],"Image":"i","State":"exited","Status":"Exited"}])", "[0].Names[1]" },
        { R"([{"Id":"b","Names":[],"Image":"i","State":5,"Status":"Exited"}])", "[0].State" },
    };
    for (const auto &c : cases) {
        const DockerError error = errorOf(listFrom({ 200, c.body }));
        EXPECT_EQ(error.kind, DockerError::Kind::DecodingFailed) << c.body.toStdString();
        if (c.failingKey) {
            EXPECT_TRUE(error.detail.startsWith(QString::fromLatin1(c.failingKey) + u':'))
                << error.detail.toStdString();
        }
    }
}

TEST_F(ClientTest, AnEngineThatNeverAnswersOrFloodsIsCutOff)
{
    EXPECT_EQ(errorOf(listFrom({ 200, {}, true }, { 0.5, 1024 })), DockerError::timedOut());
    EXPECT_EQ(errorOf(listFrom({ 200, "[" + QByteArray(64 * 1024, ' ') + "]" }, { 30, 1024 })),
        DockerError::outputTooLarge());
}

TEST_F(ClientTest, NoSocketFileMeansNoCurlRun)
{
    EXPECT_EQ(errorOf(list({ dir.filePath(QStringLiteral("a.sock")), dir.filePath(QStringLiteral("b.sock")) })),
        DockerError::socketNotFound());
}

TEST(DockerClientDiscovery, LooksBelowHomeInOrderAndTakesTheFirstThatExists)
{
    QTemporaryDir home;
    const QByteArray savedHome = qgetenv("HOME");
    qputenv("HOME", QFile::encodeName(home.path()));
    const QStringList candidates = DockerClient::candidateSocketPaths(QDir::homePath());
    qputenv("HOME", savedHome);

    EXPECT_EQ(candidates,
        QStringList({ QStringLiteral("/var/run/docker.sock"), home.path() + QStringLiteral("/.docker/run/docker.sock"),
            home.path() + QStringLiteral("/.orbstack/run/docker.sock"),
            home.path() + QStringLiteral("/.colima/default/docker.sock") }));

    // The first entry is a system path; a file in the temporary home stands in for it.
    QStringList standIn = candidates;
    standIn[0] = home.filePath(QStringLiteral("system.sock"));
    auto touch = [&](const QString &path) {
        ASSERT_TRUE(QDir().mkpath(QFileInfo(path).path()));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly)); // existence alone counts, not the file's kind
    };
    EXPECT_EQ(DockerClient::discover(standIn), std::nullopt);
    touch(standIn[3]);
    EXPECT_EQ(DockerClient::discover(standIn), standIn[3]);
    touch(standIn[1]);
    EXPECT_EQ(DockerClient::discover(standIn), standIn[1]);
    touch(standIn[0]);
    EXPECT_EQ(DockerClient::discover(standIn), standIn[0]);
}

} // namespace
