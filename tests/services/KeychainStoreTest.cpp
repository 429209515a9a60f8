// Runs against the real Secret Service: with-keyring.sh starts the test in a private D-Bus session
// with an unlocked gnome-keyring.
#include "QtPrinters.h"

#include "core/prefs/PreferenceStore.h"
#include "integrations/github/GitHubServer.h"
#include "services/KeychainStore.h"

#include <QProcess>
#include <QTest>

#include <utility>

#include <gtest/gtest.h>

// Found (0), no item (1) or unavailable (2), with the text.
void PrintTo(const SecretStore::ReadResult &read, std::ostream *os)
{
    *os << int(read.state) << " \"" << read.text.toStdString() << '"';
}

namespace {

using namespace Qt::StringLiterals;

// Runs `program` with `input` on standard input; returns its exit code and everything it printed.
std::pair<int, QByteArray> runTool(const QString &program, const QStringList &arguments, const QByteArray &input = {})
{
    QProcess tool;
    tool.start(program, arguments);
    tool.waitForStarted();
    tool.write(input);
    tool.closeWriteChannel();
    tool.waitForFinished();
    return { tool.exitCode(), tool.readAllStandardOutput() + tool.readAllStandardError() };
}

using Read = SecretStore::ReadResult;

TEST(KeychainStore, TheTokenToolStoresWithoutPrintingItemsAreRemovedPerAccountAndALockedKeyringReadsAsUnavailable)
{
    const QByteArray token = "ghp_testTokenValue1234567890";
    const QString tool = QStringLiteral(TARNLET_TOKEN_TOOL);
    const auto [status, output] = runTool(tool, {}, "  " + token + " \t\r\n");
    EXPECT_TRUE(status == 0 && !output.contains("ghp_")) << output.toStdString();
    // Nothing but blanks is refused, and so are arguments: a token never has to go on the command line.
    const auto [blankStatus, blankOutput] = runTool(tool, {}, "   \n");
    EXPECT_TRUE(blankStatus == 1 && blankOutput.contains("Kein Token gelesen")) << blankOutput.toStdString();
    const auto [argumentStatus, argumentOutput] = runTool(tool, { QString::fromLatin1(token) });
    EXPECT_TRUE(argumentStatus != 0 && !argumentOutput.contains(token));
    // Another server's token lands in an item of its own; a bad address stores nothing.
    EXPECT_EQ(runTool(tool, { u"--server"_s, u"https://127.0.0.1:8443/"_s }, "ghp_enterprise\n").first, 0);
    EXPECT_EQ(runTool(tool, { u"--server"_s, u"http://127.0.0.1:8443"_s }, "ghp_plain\n").first, 2);
    EXPECT_EQ(runTool(tool, { u"--gitlab"_s }, "glpat-gitlab\n").first, 0);

    KeychainStore store;
    const QString account = GitHubServer().tokenAccount();
    EXPECT_EQ(store.read(GitHubServer::fromAddress(u"https://127.0.0.1:8443"_s)->tokenAccount()),
        Read::found(u"ghp_enterprise"_s));
    // The github.com item keeps the attributes it always had.
    const auto lookup = [](const QString &user) {
        return runTool(u"secret-tool"_s,
            { u"lookup"_s, u"user"_s, user, u"server"_s, QString::fromLatin1(KeychainStore::service) });
    };
    EXPECT_EQ(lookup(u"github.pat"_s).second, token);
    EXPECT_EQ(lookup(u"github.pat@127.0.0.1:8443"_s).second, "ghp_enterprise");
    EXPECT_EQ(lookup(u"gitlab.pat"_s).second, "glpat-gitlab") << "GitLab's token in an item of its own";
    EXPECT_TRUE(PreferenceStore::openUserStore()->boolValue(u"gitlab.inUse"_s)) << "read from the next launch on";
    // The settings window saves and removes without waiting: the answer (0 for success) comes
    // through the event loop after the call has returned.
    const auto answerOf = [](const std::function<void(SecretStore::Done)> &call) {
        std::optional<std::int32_t> answer;
        call([&](const std::optional<SecretStore::Error> &failure) { answer = failure ? failure->status() : 0; });
        EXPECT_EQ(answer, std::nullopt) << "answered before the call returned";
        EXPECT_TRUE(QTest::qWaitFor([&] { return answer.has_value(); }, 20000));
        return answer;
    };
    EXPECT_EQ(answerOf([&](const SecretStore::Done &done) {
        store.saveAsync(u"zweites Geheimnis ü"_s, u"test.one"_s, done);
    }),
        0);
    std::optional<Read> answer;
    store.readAsync(u"test.one"_s, [&](const Read &read) { answer = read; });
    EXPECT_EQ(answer, std::nullopt) << "answered before the call returned";
    EXPECT_TRUE(QTest::qWaitFor([&] { return answer.has_value(); }, 20000));
    EXPECT_EQ(answer, Read::found(u"zweites Geheimnis ü"_s));
    EXPECT_EQ(answerOf([&](const SecretStore::Done &done) { store.removeAsync(u"test.one"_s, done); }), 0);
    EXPECT_EQ(answerOf([&](const SecretStore::Done &done) { store.removeAsync(u"test.one"_s, done); }), 0)
        << "a missing item is no failure";
    EXPECT_EQ(store.read(u"test.one"_s), Read::noItem());
    EXPECT_EQ(store.read(account), Read::found(QString::fromLatin1(token)))
        << "the tool's token, and only that account's item removed";

    // Stored by another program as bytes that are not UTF-8.
    ASSERT_EQ(runTool(u"secret-tool"_s,
                  { u"store"_s, u"--label=test"_s, u"user"_s, u"test.binary"_s, u"server"_s,
                      QString::fromLatin1(KeychainStore::service), u"type"_s, u"plaintext"_s },
                  QByteArray("\xff\xfe\x00\x01", 4))
                  .first,
        0);
    EXPECT_EQ(store.read(u"test.binary"_s), Read::noItem());

    // Locked, as after a screen lock, with nothing that could prompt.
    runTool(u"dbus-send"_s,
        { u"--session"_s, u"--print-reply"_s, u"--dest=org.freedesktop.secrets"_s, u"/org/freedesktop/secrets"_s,
            u"org.freedesktop.Secret.Service.Lock"_s, u"array:objpath:/org/freedesktop/secrets/collection/login"_s });
    EXPECT_EQ(store.read(account), Read::unavailable()) << "a locked keyring is not an empty one";
}

} // namespace
