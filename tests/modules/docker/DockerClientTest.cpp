// The real client, the real curl and the real process runner against a scripted engine on a socket
// in a fresh folder.
#include "Fixture.h"
#include "QtPrinters.h"
#include "UnixHttpServer.h"

#include "core/TimerScheduler.h"
#include "modules/docker/DockerClient.h"
#include "services/QtProcessRunner.h"

#include <QTemporaryDir>
#include <QTest>

#include <optional>

#include <gtest/gtest.h>

namespace {

using Result = ContainerSource::Result;

struct ClientTest : ::testing::Test {
    QTemporaryDir dir;
    QString socketPath = dir.filePath(QStringLiteral("docker.sock"));
    TimerScheduler scheduler;
    QtProcessRunner runner { scheduler };

    // Calls `call(client, done)` and waits for its one answer, which never comes inside the call.
    template<typename R, typename Call> R await(Call call, QStringList candidates, ProcessRunner::Limits limits = {})
    {
        DockerClient client(runner, limits, std::move(candidates));
        std::optional<R> result;
        call(client, [&](const R &r) { result = r; });
        EXPECT_FALSE(result) << "answered inside the call";
        EXPECT_TRUE(QTest::qWaitFor([&] { return result.has_value(); }, 20000));
        return result.value_or(R(DockerError::launchFailed(QStringLiteral("no answer"))));
    }
    Result list(QStringList candidates, ProcessRunner::Limits limits = {})
    {
        return await<Result>([](DockerClient &c, auto done) { c.listContainers(done); }, std::move(candidates), limits);
    }
    static DockerError errorOf(const Result &result)
    {
        const auto *error = std::get_if<DockerError>(&result);
        return error ? *error : DockerError::launchFailed(QStringLiteral("unexpected success"));
    }
};

TEST_F(ClientTest, ReadsTheListInTheEnginesOrderFromTheFirstSocketThatExists)
{
    UnixHttpServer server(socketPath);
    ASSERT_TRUE(server.isListening());
    server.setReply({ 200, readFixture(TARNLET_DOCKER_TEST_DATA, "containers.json") });
    const Result result = list({ dir.filePath(QStringLiteral("missing.sock")), socketPath });

    ASSERT_TRUE(std::holds_alternative<DockerContainerList>(result)) << errorOf(result).detail.toStdString();
    const auto &containers = std::get<DockerContainerList>(result);
    ASSERT_EQ(containers.size(), 2);
    EXPECT_EQ(containers[0],
        (DockerContainer { QStringLiteral("5586804b4790449faf50bcafb7b55105630a8150c96c93c3c370b7554e3997b6"),
            { QStringLiteral("/stopped") }, QStringLiteral("tarnlet-e2e:busybox"), QStringLiteral("exited"),
            QStringLiteral("Exited (0) Less than a second ago") }));
    ASSERT_EQ(server.requests().size(), 1);
    EXPECT_TRUE(server.requests()[0].startsWith("GET /containers/json?all=true HTTP/1.1\r\n"));
}

TEST_F(ClientTest, EachWayOfNotAnsweringHasItsOwnError)
{
    using Kind = DockerError::Kind;
    const struct {
        UnixHttpServer::Reply reply;
        ProcessRunner::Limits limits;
        Kind kind;
        int status;
    } cases[] = {
        { { 500, R"({"message":"boom"})" }, {}, Kind::RequestFailed, 22 },
        { { 200, {}, true }, { 0.5, 1024 }, Kind::TimedOut, 0 },
        { { 200, "[" + QByteArray(64 * 1024, ' ') + "]" }, { 30, 1024 }, Kind::OutputTooLarge, 0 },
        { { 200, R"({"Id":"a","Names":["/a"],"Image":"i","State":"running","Status":"Up"})" }, {},
            Kind::DecodingFailed, 0 }, // one object, not a list
    };
    for (const auto &c : cases) {
        UnixHttpServer server(socketPath);
        server.setReply(c.reply);
        const DockerError error = errorOf(list({ socketPath }, c.limits));
        EXPECT_EQ(error.kind, c.kind) << c.reply.body.left(40).toStdString();
        EXPECT_EQ(error.status, c.status);
    }

    EXPECT_EQ(errorOf(list({ dir.filePath(QStringLiteral("a.sock")) })), DockerError::socketNotFound());
}

TEST_F(ClientTest, StartAndStopArePostsToTheEncodedIdAndAnAnswerWithoutMessageIsStillARefusal)
{
    UnixHttpServer server(socketPath);
    ASSERT_TRUE(server.isListening());
    using CommandResult = ContainerSource::CommandResult;
    const auto command = [&](const QString &id, bool running, QStringList candidates) {
        return await<CommandResult>(
            [&](DockerClient &c, auto done) { c.setRunning(id, running, done); }, std::move(candidates));
    };

    // The engine's own refusals and successes are met in the real-engine test.
    server.setReply({ 500, "not json" });
    EXPECT_EQ(command(QStringLiteral("a b"), false, { socketPath }), DockerError::refused(QString()));
    EXPECT_EQ(command(QStringLiteral("a b"), false, { dir.filePath(QStringLiteral("a.sock")) }),
        DockerError::socketNotFound());
    ASSERT_EQ(server.requests().size(), 1);
    EXPECT_TRUE(server.requests()[0].startsWith("POST /containers/a%20b/stop HTTP/1.1\r\n"));
}

} // namespace
