// Started by with-keyring.sh --locked: the keyring exists but is locked, and nothing can prompt.
#include "services/KeychainStore.h"

#include <gtest/gtest.h>

namespace {

TEST(KeychainStore, LockedKeyringReadsAsAbsentAndRefusesSavesWithAStatus)
{
    KeychainStore store;
    EXPECT_EQ(store.read(QStringLiteral("github.pat")), std::nullopt);
    try {
        store.save(QStringLiteral("x"), QStringLiteral("test.locked"));
        // Some keyring versions unlock on demand without a prompt; then the save may succeed.
        SUCCEED();
    } catch (const KeychainStore::KeychainError &error) {
        EXPECT_NE(error.status(), 0);
    }
}

TEST(KeychainStore, NoSecretServiceAtAllReadsAsAbsent)
{
    qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/bus");
    EXPECT_EQ(KeychainStore().read(QStringLiteral("github.pat")), std::nullopt);
}

} // namespace
