#pragma once

#include <QString>

#include <cstdint>
#include <functional>
#include <optional>
#include <stdexcept>

// Small secrets (the GitHub token) addressed by a fixed service name plus an account name.
class SecretStore {
public:
    // A failed save or removal, carrying the store's numeric status.
    class Error final : public std::runtime_error {
    public:
        explicit Error(std::int32_t status)
            : std::runtime_error("the secret store refused the item")
            , m_status(status)
        { }
        std::int32_t status() const { return m_status; }

    private:
        std::int32_t m_status;
    };

    // Hears how a save or removal ended: nothing when it worked, else the failure.
    using Done = std::function<void(const std::optional<Error> &failure)>;

    // What a read found. A store that cannot be asked (locked with its prompt dismissed, not
    // running yet, failing) is not an empty one: the user is told apart and it is read again.
    struct ReadResult {
        enum class State { Found, NoItem, Unavailable };
        State state = State::NoItem;
        QString text; // while Found

        static ReadResult found(QString text) { return { State::Found, std::move(text) }; }
        static ReadResult noItem() { return { State::NoItem, {} }; }
        static ReadResult unavailable() { return { State::Unavailable, {} }; }
        friend bool operator==(const ReadResult &, const ReadResult &) = default;
    };
    using ReadDone = std::function<void(const ReadResult &result)>;

    virtual ~SecretStore() = default;

    // The stored text; no item also for one that is not text (not UTF-8).
    virtual ReadResult read(const QString &account) = 0;
    // Replaces the account's item; throws Error on failure, keeping the previous secret.
    virtual void save(const QString &text, const QString &account) = 0;
    // Deletes the account's item; a missing item is no failure. Throws Error when the store
    // could not be asked or refused.
    virtual void remove(const QString &account) = 0;

    // read(), save() and remove() without waiting, for the GUI: `done` runs later on the GUI
    // thread, never before the call returns. By default the waiting call runs at once and its
    // outcome is delivered on the event loop's next turn.
    virtual void readAsync(const QString &account, ReadDone done);
    virtual void saveAsync(const QString &text, const QString &account, Done done);
    virtual void removeAsync(const QString &account, Done done);
};
