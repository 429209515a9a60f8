// The real client, the real curl and the real process runner against a scripted engine on a socket
// in a fresh folder, and the decoders of the event stream and the log. (The engine's good answers,
// commands, events and logs are met in the real-engine test; the module shows every failure but a
// missing socket alike.)
#include "QtPrinters.h"
#include "UnixHttpServer.h"

#include "core/TimerScheduler.h"
#include "integrations/docker/DockerCliConfig.h"
#include "integrations/docker/DockerClient.h"
#include "integrations/docker/DockerLogs.h"
#include "services/QtProcessRunner.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace {

using namespace Qt::StringLiterals;

// One piece of a log as the engine frames it for a container without a terminal.
QByteArray frame(char stream, const QByteArray &payload)
{
    const quint32 size = quint32(payload.size());
    const char header[] = { stream, 0, 0, 0, char(size >> 24), char(size >> 16), char(size >> 8), char(size) };
    return QByteArray(header, sizeof header) + payload;
}

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

    // A socket nobody listens on any more, and a file that is no socket, are passed over.
    const QString stale = dir.filePath(u"stale.sock"_s);
    sockaddr_un address { AF_UNIX, {} };
    qstrncpy(address.sun_path, QFile::encodeName(stale).constData(), sizeof address.sun_path);
    const int unlistened = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_EQ(::bind(unlistened, reinterpret_cast<const sockaddr *>(&address), sizeof address), 0);
    ::close(unlistened);
    EXPECT_EQ(DockerClient::discover({ stale, QCoreApplication::applicationFilePath(), socketPath }), socketPath);

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

    // An engine too old for health checks is named so (and asked for its version only once
    // while it is new enough).
    server.setReply("/version", { 200, R"({"ApiVersion":"1.23"})" });
    EXPECT_EQ(listError(socketPath).detail, u"Engine zu alt: API 1.23, nötig ist mindestens 1.24."_s);

    // An engine whose stream cannot start (an old one refusing the filter) ends it, later.
    server.setReply({ 400, R"({"message":"invalid filter"})" });
    DockerClient client(runner, {}, { socketPath });
    bool ended = false;
    client.watchEvents([](const DockerEvent &) { ADD_FAILURE() << "no event"; }, [&] { ended = true; });
    EXPECT_TRUE(QTest::qWaitFor([&] { return ended; }, 20000));
    EXPECT_TRUE(server.requests().last().contains("GET /events?filters="));
    EXPECT_EQ(client.engine(), (ContainerSource::Engine { QStringLiteral("Docker"), u"unix://"_s + socketPath }));
    EXPECT_EQ(DockerClient::engineName(DockerClient::candidateSocketPaths(u"/h"_s, u"/run/user/7"_s).last()),
        QStringLiteral("Podman"));
}

TEST_F(ClientTest, OnlyTheEnginesIdsAndNamesReachItAndABigLogKeepsItsEnd)
{
    UnixHttpServer server(socketPath);
    DockerClient client(runner, { 20, 64 * 1024 }, { socketPath });

    // An id that would leave its place in the path is refused without a request.
    QList<std::optional<DockerError>> refusals;
    for (const QString &id : { u".."_s, u"."_s, u"-x"_s, QString() }) {
        client.send(id, ContainerSource::Command::Stop, [&](const auto &result) { refusals << result; });
        client.readLogs(id, [&](const auto &result) {
            const auto *error = std::get_if<DockerError>(&result);
            refusals << (error ? std::optional(*error) : std::nullopt);
        });
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return refusals.size() == 8; }, 20000));
    EXPECT_TRUE(std::ranges::all_of(refusals, [](const auto &refusal) { return refusal.has_value(); }));
    EXPECT_EQ(server.requests(), QList<QByteArray>());

    // A log past the output bound shows its end, from a whole line.
    QByteArray frames;
    QByteArray text;
    for (int i = 0; i < 20000; ++i) {
        const QByteArray line = "line " + QByteArray::number(i) + '\n';
        frames += frame(char(1 + i % 2), line);
        text += line;
    }
    server.setReply({ 200, R"({"Config":{"Tty":false}})" });
    server.setReply("/logs", { 200, frames });
    std::optional<ContainerSource::LogResult> log;
    client.readLogs(u"web_1.shop-a"_s, [&](const ContainerSource::LogResult &result) { log = result; });
    ASSERT_TRUE(QTest::qWaitFor([&] { return log.has_value(); }, 20000));
    const QString *shown = std::get_if<QString>(&*log);
    ASSERT_TRUE(shown) << std::get<DockerError>(*log).detail.toStdString();
    EXPECT_TRUE(shown->size() > 16 * 1024 && shown->startsWith(u"line "_s) && text.endsWith(shown->toUtf8()));
    EXPECT_TRUE(server.requests().last().startsWith("GET /containers/web_1.shop-a/logs?"));
}

TEST(DockerCliConfig, BrokenConfigurationIsNamedAndPlainTcpGoesToThisMachineOnly)
{
    QTemporaryDir dir;
    const auto write = [&](const QString &name, const QByteArray &text) {
        QDir().mkpath(QFileInfo(dir.filePath(name)).path());
        QFile file(dir.filePath(name));
        return file.open(QIODevice::WriteOnly) && file.write(text) == text.size();
    };
    const auto reason = [](const auto &answer) {
        const auto *failure = std::get_if<DockerCliConfig::Failure>(&answer);
        return failure ? failure->reason : QStringLiteral("no failure");
    };
    const DockerCliConfig config({ dir.path() });
    EXPECT_EQ(std::get<std::optional<DockerEndpoint>>(config.current()), std::nullopt) << "no file: the sockets";
    ASSERT_TRUE(write(u"config.json"_s, "{\"currentContext\": "));
    EXPECT_EQ(reason(config.current()), dir.filePath(u"config.json"_s) + u" ist kein gültiges JSON."_s);
    ASSERT_TRUE(write(u"config.json"_s, R"({"currentContext": "gone"})"));
    EXPECT_EQ(reason(config.current()), u"Kontext „gone“: unbekannt (nicht in „docker context ls“)."_s);

    // A context's files as the CLI lays them out, under the name's SHA-256.
    const QString far = u"contexts/meta/"_s
        + QString::fromLatin1(QCryptographicHash::hash("far", QCryptographicHash::Sha256).toHex());
    ASSERT_TRUE(
        write(far + u"/meta.json"_s, R"({"Name":"far","Endpoints":{"docker":{"Host":"tcp://10.0.0.9:2375"}}})"));
    ASSERT_TRUE(write(u"contexts/meta/broken/meta.json"_s, "{"));
    EXPECT_EQ(config.contextNames(), QStringList { u"far"_s });
    EXPECT_TRUE(reason(config.context(u"far"_s)).contains(u"ohne TLS nur zu diesem Rechner"_s));
    EXPECT_EQ(reason(config.context(u"../x"_s)), u"Kontext „../x“: kein gültiger Name."_s);
    EXPECT_TRUE(
        reason(DockerCliConfig({ dir.path(), u"npipe:////./pipe/docker"_s }).current()).startsWith(u"DOCKER_HOST: "_s));
    EXPECT_TRUE(reason(DockerCliConfig({ dir.path(), u"tcp://10.0.0.9:2376"_s, {}, dir.path(), true }).current())
                    .contains(dir.filePath(u"ca.pem"_s)));
    EXPECT_EQ(std::get<DockerEndpoint>(DockerEndpoint::parse(u"ssh://me@build:2222"_s, std::nullopt)).display(),
        u"ssh://me@build:2222"_s);
}

TEST(DockerDecoders, EventLinesAndLogFrames)
{
    const QByteArray die
        = R"({"status":"die","id":"c1","from":"busybox","Type":"container","Action":"die",)"
          R"("Actor":{"ID":"c1","Attributes":{"exitCode":"3","image":"busybox","name":"w\u202eeb\u0007"}},)"
          R"("scope":"local","time":1700000000,"timeNano":1700000000000000000})";
    EXPECT_EQ(DockerEvents::decodeLine(die), (DockerEvent { u"die"_s, u"c1"_s, u"web"_s, 3 }));
    EXPECT_EQ(DockerEvents::decodeLine(R"({"Type":"container","Action":"died","Actor":{"ID":"c2"}})"),
        (DockerEvent { u"die"_s, u"c2"_s, {}, std::nullopt }))
        << "Podman's word";
    EXPECT_EQ(DockerEvents::decodeLine(R"({"Type":"container","Action":"health_status","Actor":{"ID":"c2",)"
                                       R"("Attributes":{"health_status":"unhealthy"}}})")
                  ->action,
        u"health_status: unhealthy"_s);
    for (const QByteArray &skipped : { die.left(40), QByteArray("[]"), QByteArray(),
             QByteArray(R"({"Type":"container","Action":"exec_start: true","Actor":{"ID":"c1"}})"),
             QByteArray(R"({"Type":"network","Action":"connect","Actor":{"ID":"n1"}})") })
        EXPECT_FALSE(DockerEvents::decodeLine(skipped)) << skipped.toStdString();

    // Frames: stdout and stderr in order; a cut-off last frame gives what it holds; a header that
    // is none ends the decoding. With a terminal the bytes are the text.
    const QByteArray stream = frame(1, "out 1\n") + frame(2, "err\n") + frame(1, "out 2\n").chopped(2);
    EXPECT_EQ(DockerLogs::decodeFrames(stream, false), QByteArray("out 1\nerr\nout "));
    EXPECT_EQ(DockerLogs::decodeFrames(frame(1, "a\n") + "2024-01-01T00:00:00Z raw\n", false), QByteArray("a\n"));
    EXPECT_EQ(DockerLogs::decodeFrames(stream, true), stream);
    const QByteArray line = QByteArray(1023, 'x') + '\n';
    const QByteArray huge = DockerLogs::decodeFrames(frame(1, line.repeated(1100)), false);
    EXPECT_EQ(huge, line.repeated(1023)) << "the last whole lines within 1 MiB";
}

} // namespace
