// The real client, the real curl and the real process runner against a scripted engine on a socket
// in a fresh folder: each way of not answering has its own error. (The engine's good answers,
// commands and refusals are met in the real-engine test.)
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
    TimerScheduler scheduler;
    QtProcessRunner runner { scheduler };

    // Asks for the list and waits for the one answer, which never comes inside the call.
    DockerError listError(const QString &socket, ProcessRunner::Limits limits = {})
    {
        DockerClient client(runner, limits, { socket });
        std::optional<ContainerSource::Result> result;
        client.listContainers([&](const ContainerSource::Result &r) { result = r; });
        EXPECT_FALSE(result) << "answered inside the call";
        EXPECT_TRUE(QTest::qWaitFor([&] { return result.has_value(); }, 20000));
        const DockerError *error = result ? std::get_if<DockerError>(&*result) : nullptr;
        return error ? *error : DockerError::launchFailed(QStringLiteral("a list or nothing"));
    }
};

TEST_F(ClientTest, EachWayOfNotAnsweringHasItsOwnError)
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
    EXPECT_EQ(listError(dir.filePath(QStringLiteral("missing.sock"))), DockerError::socketNotFound());
}

} // namespace
