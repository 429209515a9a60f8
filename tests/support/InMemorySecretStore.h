#pragma once

#include "services/SecretStore.h"

#include <QHash>

// A secret store for unit tests; `failSaves` makes every save and removal fail with that status,
// `unavailable` every read answer that the store cannot be read (locked, not running).
class InMemorySecretStore : public SecretStore {
public:
    ReadResult read(const QString &account) override
    {
        ++reads;
        if (unavailable)
            return ReadResult::unavailable();
        return items.contains(account) ? ReadResult::found(items.value(account)) : ReadResult::noItem();
    }
    void save(const QString &text, const QString &account) override
    {
        if (failSaves != 0)
            throw Error(failSaves);
        items.insert(account, text);
    }
    void remove(const QString &account) override
    {
        if (failSaves != 0)
            throw Error(failSaves);
        items.remove(account);
    }

    QHash<QString, QString> items;
    std::int32_t failSaves = 0;
    bool unavailable = false;
    int reads = 0;
};
