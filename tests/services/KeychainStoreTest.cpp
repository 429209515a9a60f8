// Runs against the real Secret Service: the test is started by with-keyring.sh, which provides a
// private D-Bus session with an unlocked gnome-keyring.
#include "QtPrinters.h"

#include "services/KeychainStore.h"

#include <QProcess>

#include <utility>

#include <gtest/gtest.h>

namespace {

const QString service = QString::fromLatin1(KeychainStore::service);

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

// Stores raw bytes with secret-tool, as another program might.
void storeWithSecretTool(const QString &serviceName, const QString &account, const QByteArray &secret)
{
    const auto [status, output] = runTool(QStringLiteral("secret-tool"),
        { QStringLiteral("store"), QStringLiteral("--label=test"), QStringLiteral("user"), account,
            QStringLiteral("server"), serviceName, QStringLiteral("type"), QStringLiteral("plaintext") },
        secret);
    ASSERT_EQ(status, 0) << output.toStdString();
}

int itemCount(const QString &account)
{
    return int(runTool(QStringLiteral("secret-tool"),
        { QStringLiteral("search"), QStringLiteral("--all"), QStringLiteral("user"), account, QStringLiteral("server"),
            service })
                   .second.count("\nsecret = "));
}

TEST(KeychainStore, ReadsSavesReplacesAndRemovesPerAccount)
{
    KeychainStore store;
    EXPECT_EQ(store.read(QStringLiteral("test.none")), std::nullopt);

    store.save(QStringLiteral("first"), QStringLiteral("test.one"));
    store.save(QStringLiteral("zweites Geheimnis ü"), QStringLiteral("test.one"));
    store.save(QStringLiteral("other"), QStringLiteral("test.two"));
    EXPECT_EQ(store.read(QStringLiteral("test.one")), QStringLiteral("zweites Geheimnis ü"));
    EXPECT_EQ(store.read(QStringLiteral("test.two")), QStringLiteral("other"));
    EXPECT_EQ(itemCount(QStringLiteral("test.one")), 1);

    // Removing takes only that account's item; removing a missing item is no failure.
    store.remove(QStringLiteral("test.one"));
    store.remove(QStringLiteral("test.one"));
    EXPECT_EQ(store.read(QStringLiteral("test.one")), std::nullopt);
    EXPECT_EQ(store.read(QStringLiteral("test.two")), QStringLiteral("other"));
}

TEST(KeychainStore, ItemsOfAnotherServiceOrNotUtf8ReadAsAbsent)
{
    storeWithSecretTool(QStringLiteral("com.example.other"), QStringLiteral("test.foreign"), "not ours");
    storeWithSecretTool(service, QStringLiteral("test.binary"), QByteArray("\xff\xfe\x00\x01", 4));
    KeychainStore store;
    EXPECT_EQ(store.read(QStringLiteral("test.foreign")), std::nullopt);
    EXPECT_EQ(store.read(QStringLiteral("test.binary")), std::nullopt);
}

TEST(TokenTool, StoresTheTokenFromStandardInputWithoutPrintingIt)
{
    const QByteArray token = "ghp_testTokenValue1234567890";
    const QString account = QString::fromLatin1(KeychainStore::gitHubTokenAccount);
    // Pasted with blanks around it: stored without them.
    const auto [status, output] = runTool(QStringLiteral(TARNLET_TOKEN_TOOL), {}, "  " + token + " \t\r\n");
    EXPECT_EQ(status, 0) << output.toStdString();
    EXPECT_FALSE(output.contains("ghp_"));
    EXPECT_EQ(KeychainStore().read(account), QString::fromLatin1(token));

    // Nothing but blanks: refused, and the stored token stays.
    const auto [blankStatus, blankOutput] = runTool(QStringLiteral(TARNLET_TOKEN_TOOL), {}, "   \n");
    EXPECT_EQ(blankStatus, 1);
    EXPECT_TRUE(blankOutput.contains("Kein Token gelesen")) << blankOutput.toStdString();
    EXPECT_EQ(KeychainStore().read(account), QString::fromLatin1(token));

    // Arguments are refused, so a token never has to go on the command line.
    const auto [argumentStatus, argumentOutput] = runTool(QStringLiteral(TARNLET_TOKEN_TOOL), { QString::fromLatin1(token) });
    EXPECT_NE(argumentStatus, 0);
    EXPECT_FALSE(argumentOutput.contains(token));
}

} // namespace
