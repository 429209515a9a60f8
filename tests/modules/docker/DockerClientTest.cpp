// The real client, the real curl and the real process runner against a scripted engine on a socket
// in a fresh folder. (The engine's good answers, commands and refusals are met in the real-engine
// test; the module shows every failure but a missing socket alike.)
#include "QtPrinters.h"
#include "UnixHttpServer.h"

#include "core/TimerScheduler.h"
#include "modules/docker/DockerClient.h"
#include "services/QtProcessRunner.h"

#include <QFile>
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

TEST_F(ClientTest, AnEngineThatDoesNotAnswerIsToldApartFromNoEngine)
{
    UnixHttpServer server(socketPath);
    server.setReply({ 200, {}, true });
    EXPECT_EQ(listError(socketPath, { 0.5, 1024 }), DockerError::timedOut());
    EXPECT_EQ(listError(dir.filePath(QStringLiteral("missing.sock"))), DockerError::socketNotFound());

    // The user's own ~/.curlrc never reaches the engine's answer.
    QFile curlrc(dir.filePath(QStringLiteral(".curlrc")));
    ASSERT_TRUE(curlrc.open(QIODevice::WriteOnly));
    curlrc.write("write-out = \"trailing text\"\n");
    curlrc.close();
    const QByteArray home = qgetenv("HOME");
    qputenv("HOME", dir.path().toLocal8Bit());
    server.setReply({ 200, "[]" });
    EXPECT_EQ(listError(socketPath), DockerError::launchFailed(QStringLiteral("a list or nothing")))
        << "an empty list is no error";
    qputenv("HOME", home);
}

} // namespace
