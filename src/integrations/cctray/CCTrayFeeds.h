#pragma once

#include "core/CancelHandle.h"
#include "integrations/cctray/CCTrayClient.h"

#include <QObject>
#include <QStringList>

#include <memory>
#include <optional>
#include <vector>

class PreferenceStore;
class Scheduler;
class SecretStore;

// The cctray feeds the user added, each polled on its own: every 30 s (one request covers all its
// projects), conditional where the server sends validators, backing off from 60 s to 600 s while
// it fails, and once a server's Retry-After has passed when it asks to wait. The feeds, with the
// projects watched of each, are kept in the preferences under feedsKey, a list of
// {"address", "secret", "watched"}; a feed's credentials are an item of the secret store, read
// without waiting once readSecrets() is called, and its polls wait for them. At most maximumWatched projects are
// watched over all feeds.
class CCTrayFeeds final : public QObject {
    Q_OBJECT
public:
    static constexpr int maximumWatched = 50;
    static constexpr double pause = 30;
    static inline const QString feedsKey = QStringLiteral("ciFeeds.feeds");

    // One feed as it stands.
    struct Feed {
        CCTrayFeedAddress address;
        QStringList watched; // project names, in the order they were checked
        QList<CCTrayProject> projects; // of its last answer
        bool answered = false; // since it was added or polling started
        // Why it cannot be read now; none while all is well.
        std::optional<QString> problem;
    };

    CCTrayFeeds(PreferenceStore &preferences, SecretStore &secrets, Scheduler &scheduler, CCTrayClient client,
        QObject *parent = nullptr);
    ~CCTrayFeeds() override;

    QList<Feed> feeds() const;
    int watchedCount() const;

    // Adds a feed by its address, with the user name and password typed beside it; its credentials
    // go to the secret store first, and the feed is kept once they are stored. What was refused or
    // failed is told in feedback().
    void add(const QString &address, const QString &user, const QString &password);
    void remove(const QString &address);
    // Checks or unchecks a project of a feed; false when that would watch more than maximumWatched.
    bool setWatched(const QString &address, const QString &project, bool watched);
    // The last add's outcome, in the user's language; empty when it worked or nothing was added.
    QString feedback() const { return m_feedback; }
    bool isBusy() const { return m_busy; }

    // Polls every feed now and goes on; each one's first answer is only recorded.
    void start();
    void stop();
    // Reads the feeds' credentials from the secret store without waiting, those of feeds added
    // later too; again for those missing or that could not be read (the store reappeared).
    void readSecrets();

Q_SIGNALS:
    // After anything feeds(), feedback() or isBusy() return changed.
    void changed();
    // A feed answered with projects that differ from `before` (its projects before this answer);
    // `first` when it is its first answer since it was added or polling started.
    void answered(const QString &address, const QList<CCTrayProject> &before, bool first);

private:
    struct Watch;

    void follow();
    void readSecret(Watch &watch);
    void poll(Watch &watch, std::function<void(double)> finished);
    void receive(Watch &watch, const CCTrayClient::Result &result, const std::function<void(double)> &finished);
    // The stored list with `change` applied to the entry of `address`.
    template<typename Change> void rewrite(const QString &address, Change change);

    PreferenceStore &m_preferences;
    SecretStore &m_secrets;
    Scheduler &m_scheduler;
    const CCTrayClient m_client;
    std::vector<std::unique_ptr<Watch>> m_watches;
    QString m_feedback;
    bool m_busy = false;
    bool m_running = false;
    bool m_readingSecrets = false; // readSecrets() was called
};
