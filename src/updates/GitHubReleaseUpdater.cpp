#include "updates/GitHubReleaseUpdater.h"

#include "core/prefs/PreferenceStore.h"
#include "integrations/github/GitHubErrorText.h"
#include "services/JsonReader.h"
#include "updates/UpdateDialogs.h"

#include <QPointer>
#include <QVersionNumber>

#include <algorithm>
#include <utility>

namespace {

constexpr int transferTimeoutMs = 30 * 1000;

// A release description is small: a tighter bound and timeout than the API's lists need.
GitHubTransport::Endpoint releaseEndpoint(GitHubTransport::Endpoint endpoint)
{
    endpoint.transferTimeoutMs = std::min(endpoint.transferTimeoutMs, transferTimeoutMs);
    endpoint.maximumBodySize = std::min(endpoint.maximumBodySize, GitHubReleaseUpdater::maximumAnswerSize);
    return endpoint;
}

// "v1.2.3" or "1.2.3" without its prefix.
QString versionText(const QString &tag)
{
    return tag.startsWith(u'v') || tag.startsWith(u'V') ? tag.mid(1) : tag;
}

// The number in a tag ("v1.3.0-hotfix", "release-1.3" and "1.3" all name 1.3): what follows it
// is ignored, and a tag without one is null, nothing newer. Trailing zeros do not count: 1.2 and
// 1.2.0 are the same release.
QVersionNumber parseVersion(const QString &tag)
{
    const auto digit = std::find_if(tag.cbegin(), tag.cend(), [](QChar c) { return c.isDigit(); });
    return QVersionNumber::fromString(QStringView(tag).sliced(digit - tag.cbegin())).normalized();
}

} // namespace

GitHubReleaseUpdater::GitHubReleaseUpdater(Config config, QNetworkAccessManager &network, PreferenceStore &preferences,
    Scheduler &scheduler, UpdateDialogs &dialogs, Clock wallClock, QObject *parent)
    : Updater(parent)
    , m_config(std::move(config))
    , m_client(network, releaseEndpoint(m_config.endpoint))
    , m_preferences(preferences)
    , m_scheduler(scheduler)
    , m_dialogs(dialogs)
    , m_wallClock(std::move(wallClock))
{
    if (!m_wallClock)
        m_wallClock = [] { return QDateTime::currentDateTimeUtc(); };
    // Automatic checks are on until the user switches them off.
    m_preferences.registerDefaults({ { QString::fromLatin1(automaticChecksKey), true } });
}

GitHubReleaseUpdater::~GitHubReleaseUpdater()
{
    m_nextCheck.cancel();
    m_check.cancel();
}

void GitHubReleaseUpdater::startUpdater()
{
    m_started = true;
    scheduleAutomaticCheck();
}

void GitHubReleaseUpdater::checkForUpdates()
{
    beginCheck(true);
}

bool GitHubReleaseUpdater::automaticallyChecksForUpdates() const
{
    return m_preferences.boolValue(QString::fromLatin1(automaticChecksKey));
}

void GitHubReleaseUpdater::setAutomaticallyChecksForUpdates(bool enabled)
{
    m_preferences.setValue(QString::fromLatin1(automaticChecksKey), enabled);
    if (!m_check.isPending())
        scheduleAutomaticCheck();
}

void GitHubReleaseUpdater::scheduleAutomaticCheck(double earliest)
{
    m_nextCheck.cancel();
    if (!m_started || !automaticallyChecksForUpdates())
        return;
    // A minute after start-up at the earliest, and a day after the previous check of any launch.
    double delay = earliest;
    const QDateTime last
        = QDateTime::fromString(m_preferences.stringValue(QString::fromLatin1(lastCheckKey)), Qt::ISODate);
    if (last.isValid()) {
        const double sinceLast = double(last.msecsTo(m_wallClock())) / 1000.0;
        // A clock set back makes the last check look like the future; then a day from now.
        delay = std::max(delay, sinceLast < 0 ? checkInterval : checkInterval - sinceLast);
    }
    m_nextCheck = m_scheduler.schedule(delay, [self = QPointer(this)] {
        if (self)
            self->beginCheck(false);
    });
}

void GitHubReleaseUpdater::beginCheck(bool userInitiated)
{
    if (m_check.isPending()) {
        // A check already runs: let it answer the user as well.
        m_userInitiated = m_userInitiated || userInitiated;
        return;
    }
    m_nextCheck.cancel();
    m_userInitiated = userInitiated;
    const auto decode = [](const QByteArray &body) {
        // A tag without a number decodes too: it names nothing newer.
        return decodeRelease(body);
    };
    // Cancelled when the updater goes, so the answer never reaches a gone updater.
    m_check
        = m_client.poll<Release>(QStringLiteral("repos/") + m_config.repository + QStringLiteral("/releases/latest"),
            QString(), decode, [this](const GitHubResult<Polled<Release>> &answer) { finishCheck(answer); });
    Q_EMIT canCheckForUpdatesChanged();
}

void GitHubReleaseUpdater::finishCheck(const GitHubResult<Polled<Release>> &answer)
{
    const Result result = evaluate(answer);
    const bool userInitiated = std::exchange(m_userInitiated, false);

    // Only an answer counts as the day's check; without one (offline, say) an hour will do.
    if (result.outcome == Outcome::Failed) {
        scheduleAutomaticCheck(retryAfterFailure);
    } else {
        m_preferences.setValue(QString::fromLatin1(lastCheckKey), m_wallClock().toUTC().toString(Qt::ISODate));
        scheduleAutomaticCheck();
    }
    Q_EMIT canCheckForUpdatesChanged();

    // Automatic checks only speak up when there is something new.
    switch (result.outcome) {
    case Outcome::UpdateAvailable:
        m_dialogs.showUpdateAvailable(result.text, m_config.currentVersion, result.page);
        break;
    case Outcome::UpToDate:
        if (userInitiated)
            m_dialogs.showUpToDate(m_config.currentVersion);
        break;
    case Outcome::Failed:
        if (userInitiated)
            m_dialogs.showError(result.text);
        break;
    }
}

GitHubReleaseUpdater::Result GitHubReleaseUpdater::evaluate(const GitHubResult<Polled<Release>> &answer) const
{
    if (!answer.isOk()) {
        // A repository without any published release has nothing newer to offer.
        if (answer.error() == GitHubError::http(404))
            return { Outcome::UpToDate, {}, {} };
        return { Outcome::Failed, GitHubErrorText::of(answer.error(), GitHubErrorText::Asked::Release), {} };
    }
    const Release &release = answer.value().value;
    if (release.version > parseVersion(m_config.currentVersion))
        return { Outcome::UpdateAvailable, release.versionText, releasePage(release.page) };
    return { Outcome::UpToDate, {}, {} };
}

GitHubReleaseUpdater::Release GitHubReleaseUpdater::decodeRelease(const QByteArray &body)
{
    return JsonReader::decodeObject(body, [](const JsonReader &json) {
        const QString tag = json.string("tag_name");
        return Release { versionText(tag), parseVersion(tag), json.url("html_url") };
    });
}

QUrl GitHubReleaseUpdater::releasePage(const QUrl &candidate) const
{
    // The answer names the page to open in the browser; only a GitHub page over HTTPS is taken
    // from it, anything else falls back to the repository's own releases page.
    if (candidate.scheme() == u"https" && candidate.host() == u"github.com" && candidate.userInfo().isEmpty())
        return candidate;
    return QUrl(QStringLiteral("https://github.com/") + m_config.repository + QStringLiteral("/releases/latest"));
}
