#pragma once

#include "services/SecretStore.h"

#include <QHash>

// A secret store for unit tests; `failSaves` makes every save and removal fail with that status.
class InMemorySecretStore : public SecretStore {
public:
    std::optional<QString> read(const QString &account) override
    {
        ++reads;
        return items.contains(account) ? std::optional(items.value(account)) : std::nullopt;
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
    int reads = 0;
};
