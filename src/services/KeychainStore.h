#pragma once

#include "services/SecretStore.h"

// The desktop's secret store through QtKeychain: the Secret Service (libsecret) on Linux, the
// login keychain on macOS. Items live under the service "com.tarnlet.app", one account per item
// (the GitHub token's is GitHubServer::tokenAccount()). readAsync(),
// saveAsync() and removeAsync() answer through the event loop; read(), save() and remove() wait
// for the store's answer in a local event loop, so they are meant for start-up and command-line use.
class KeychainStore final : public SecretStore {
public:
    using KeychainError = SecretStore::Error;

    static constexpr auto service = "com.tarnlet.app";

    ReadResult read(const QString &account) override;
    void save(const QString &text, const QString &account) override;
    void remove(const QString &account) override;
    void readAsync(const QString &account, ReadDone done) override;
    void saveAsync(const QString &text, const QString &account, Done done) override;
    void removeAsync(const QString &account, Done done) override;
};
