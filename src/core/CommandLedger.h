#pragma once

#include "core/CancelHandle.h"

#include <QHash>
#include <QString>

// What a module keeps of the commands it sends (start a container, cancel a run): one command at
// a time per target, and the last refusal per target, said beside it for as long as it still
// applies. `Key` names a target, `Command` what was asked of it. Requests still under way are
// dropped with the ledger.
template<typename Key, typename Command> class CommandLedger final {
public:
    struct Refusal {
        Command command;
        QString text;
    };

    CommandLedger() = default;
    CommandLedger(const CommandLedger &) = delete;
    CommandLedger &operator=(const CommandLedger &) = delete;
    ~CommandLedger() { clear(); }

    // Drops every command under way, whose answers never arrive, and every refusal.
    void clear()
    {
        for (CancelHandle &request : m_underWay)
            request.cancel();
        m_underWay.clear();
        m_refusals.clear();
    }

    bool isUnderWay(const Key &key) const { return m_underWay.contains(key); }
    // A command for `key` is on its way (its request, where it can be dropped); its last refusal
    // no longer stands. The caller asks isUnderWay() first: one command at a time.
    void begin(const Key &key, CancelHandle request = {})
    {
        m_refusals.remove(key);
        m_underWay.insert(key, std::move(request));
    }
    // The command for `key` was taken (or what else was asked of it worked): no refusal stands.
    void taken(const Key &key)
    {
        m_underWay.remove(key);
        m_refusals.remove(key);
    }
    // The command for `key` was refused, as `text` says.
    void refused(const Key &key, Command command, QString text)
    {
        m_underWay.remove(key);
        m_refusals.insert(key, Refusal { command, std::move(text) });
    }
    // Why the last command for `key` failed; empty when it did not.
    QString refusal(const Key &key) const { return m_refusals.value(key).text; }
    // Keeps the refusals whose target still offers what was refused: `applies(key, command)`.
    template<typename Applies> void keepRefusalsWhere(Applies applies)
    {
        m_refusals.removeIf([&](const auto &entry) { return !applies(entry.key(), entry.value().command); });
    }

private:
    QHash<Key, CancelHandle> m_underWay;
    QHash<Key, Refusal> m_refusals;
};
