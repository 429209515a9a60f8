// The real client, the real curl and the real process runner against a scripted engine on a socket
// in a fresh folder: each way of not answering has its own error. (The engine's good answers are
// met in the real-engine test.)
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

struct ClientTest : ::testing::Test {
    QTemporaryDir dir;
    QString socketPath = dir.filePath(QStringLiteral("docker.sock"));
    QString missingPath = dir.filePath(QStringLiteral("missing.sock"));
    TimerScheduler scheduler;
    QtProcessRunner runner { scheduler };

    // Calls `call(client, done)` and waits for its one answer, which never comes inside the call.
    template<typename R, typename Call> R await(Call call, const QString &socket, ProcessRunner::Limits limits = {})
    {
        DockerClient client(runner, limits, { socket });
        std::optional<R> result;
        call(client, [&](const R &r) { result = r; });
        EXPECT_FALSE(result) << "answered inside the call";
        EXPECT_TRUE(QTest::qWaitFor([&] { return result.has_value(); }, 20000));
        return result.value_or(R());
    }
    DockerError listError(const QString &socket, ProcessRunner::Limits limits = {})
    {
        using Result = ContainerSource::Result;
        const Result result = await<Result>([](DockerClient &c, auto done) { c.listContainers(done); }, socket, limits);
        return std::holds_alternative<DockerError>(result) ? std::get<DockerError>(result)
                                                           : DockerError::launchFailed(QStringLiteral("a list"));
    }
};

TEST_F(ClientTest, EachWayOfNotAnsweringHasItsOwnErrorAndCommandsArePostsToTheEncodedId)
{
    const struct {
        UnixHttpServer::Reply reply;
        ProcessRunner::Limits limits;
        DockerError::Kind kind;
        int status;
    } cases[] = {
        { { 500, R"({"message":"boom"})" }, {}, DockerError::Kind::RequestFailed, 22 },
        { { 200, {}, true }, { 0.5, 1024 }, DockerError::Kind::TimedOut, 0 },
        { { 200, "[" + QByteArray(64 * 1024, ' ') + "]" }, { 30, 1024 }, DockerError::Kind::OutputTooLarge, 0 },
        { { 200, R"({"Id":"a","Names":["/a"],"Image":"i","State":"running","Status":"Up"})" }, {},
            DockerError::Kind::DecodingFailed, 0 }, // one container, not a list
    };
    for (const auto &c : cases) {
        UnixHttpServer server(socketPath);
        server.setReply(c.reply);
        const DockerError error = listError(socketPath, c.limits);
        EXPECT_EQ(error.kind, c.kind) << c.reply.body.left(40).toStdString();
        EXPECT_EQ(error.status, c.status);
    }
    EXPECT_EQ(listError(missingPath), DockerError::socketNotFound());

    UnixHttpServer server(socketPath);
    server.setReply({ 500, "not json" });
    const auto stop = [&](const QString &socket) {
        return await<ContainerSource::CommandResult>(
            [](DockerClient &c, auto done) { c.setRunning(QStringLiteral("a b"), false, done); }, socket);
    };
    EXPECT_EQ(stop(socketPath), DockerError::refused(QString())) << "an answer without message is still a refusal";
    EXPECT_EQ(stop(missingPath), DockerError::socketNotFound());
    ASSERT_EQ(server.requests().size(), 1);
    EXPECT_TRUE(server.requests()[0].startsWith("POST /containers/a%20b/stop HTTP/1.1\r\n"));
}

} // namespace
