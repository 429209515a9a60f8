#pragma once

#include "core/Scheduler.h"
#include "integrations/github/GitHubClient.h"
#include "updates/Updater.h"

#include <QDateTime>
#include <QString>
#include <QUrl>
#include <QVersionNumber>

#include <functional>
#include <optional>

class PreferenceStore;
class QNetworkAccessManager;
class UpdateDialogs;

// Looks for a newer release of the program on GitHub: asks the Releases API of one repository
// for its latest release (anonymously, never with the user's token), compares that version with
// the running one and tells the user through UpdateDialogs. It never downloads or runs anything.
//
// The automatic-check switch lives in the preferences under the updater's own key (on unless the
// user switched it off). While on, the updater checks at most once a day, the first time a
// minute after start-up; automatic checks speak up only when a newer version exists. A check
// that got no usable answer does not count as the day's: the next one follows an hour later.
//
// Checks are conditional on the last release read during this run, kept by the client as every
// poll's answer is: an answer 304 stands for that same release, without reading anything.
class GitHubReleaseUpdater final : public Updater {
    Q_OBJECT
public:
    struct Config {
        QString repository; // "owner/name"
        QString currentVersion; // "1.2.3"
        GitHubTransport::Endpoint endpoint; // asked anonymously
    };
    using Clock = std::function<QDateTime()>;

    static constexpr auto automaticChecksKey = "updater.automaticallyChecks";
    static constexpr auto lastCheckKey = "updater.lastCheckTime";
    static constexpr double firstCheckDelay = 60;
    static constexpr double checkInterval = 24 * 60 * 60;
    static constexpr double retryAfterFailure = 60 * 60;
    // Answers larger than this are not release descriptions; the check fails instead.
    static constexpr qint64 maximumAnswerSize = 4 * 1024 * 1024;

    GitHubReleaseUpdater(Config config, QNetworkAccessManager &network, PreferenceStore &preferences,
        Scheduler &scheduler, UpdateDialogs &dialogs, Clock wallClock = {}, QObject *parent = nullptr);
    ~GitHubReleaseUpdater() override;

    void startUpdater() override;
    void checkForUpdates() override;
    bool automaticallyChecksForUpdates() const override;
    void setAutomaticallyChecksForUpdates(bool enabled) override;
    bool canCheckForUpdates() const override { return !m_check.isPending(); }

    // The latest release as the Releases API describes it: the version the first number in its tag
    // names ("v1.2.3", "1.2.3-hotfix" and "release-1.2.3" alike; null without a number) and the
    // page it names. Throws JsonDecodeError.
    struct Release {
        QString versionText; // the tag without its "v"
        QVersionNumber version;
        QUrl page;
    };
    static Release decodeRelease(const QByteArray &body);

private:
    enum class Outcome { UpdateAvailable, UpToDate, Failed };
    struct Result {
        Outcome outcome;
        QString text; // the newer version, or the reason of a failure
        QUrl page;
    };

    // The next automatic check, `earliest` seconds from now at the soonest.
    void scheduleAutomaticCheck(double earliest = firstCheckDelay);
    void beginCheck(bool userInitiated);
    void finishCheck(const GitHubResult<Polled<Release>> &answer);
    Result evaluate(const GitHubResult<Polled<Release>> &answer) const;
    QUrl releasePage(const QUrl &candidate) const;

    Config m_config;
    GitHubClient m_client;
    PreferenceStore &m_preferences;
    Scheduler &m_scheduler;
    UpdateDialogs &m_dialogs;
    Clock m_wallClock;
    bool m_started = false;
    bool m_userInitiated = false;
    CancelHandle m_nextCheck;
    CancelHandle m_check;
};
