#include "integrations/cctray/CCTrayFeeds.h"

#include "core/PollLoop.h"
#include "core/prefs/PreferenceStore.h"
#include "integrations/cctray/CCTrayLogging.h"
#include "services/SecretStore.h"

#include <QPointer>
#include <QVariantMap>

#include <algorithm>

namespace {

const QString addressKey = QStringLiteral("address");
const QString secretKey = QStringLiteral("secret");
const QString watchedKey = QStringLiteral("watched");

// One feed as the preferences keep it.
struct StoredFeed {
    CCTrayFeedAddress address;
    bool secret = false;
    QStringList watched;
};

// The stored feeds that can be read, each address once; anything else in the list is ignored.
QList<StoredFeed> storedFeeds(const PreferenceStore &preferences)
{
    QList<StoredFeed> feeds;
    for (const QVariant &value : preferences.value(CCTrayFeeds::feedsKey).toList()) {
        const QVariantMap entry = value.toMap();
        const CCTrayFeedAddress address = CCTrayFeedAddress::stored(entry.value(addressKey).toString());
        const bool listed = std::any_of(
            feeds.cbegin(), feeds.cend(), [&](const StoredFeed &feed) { return feed.address.url == address.url; });
        if (!address.isValid() || listed)
            continue;
        feeds.append({ address, entry.value(secretKey).toBool(), entry.value(watchedKey).toStringList() });
    }
    return feeds;
}

} // namespace

// One feed with its poll loop and what it last answered.
struct CCTrayFeeds::Watch {
    enum class Secret { None, Reading, Read, Missing, Unavailable };

    Watch(CCTrayFeeds &feeds, const StoredFeed &stored)
        : address(stored.address)
        , watched(stored.watched)
        , secret(stored.secret ? Secret::Reading : Secret::None)
        , loop(feeds.m_scheduler,
              [&feeds, this](PollLoop::Finished finished) { feeds.poll(*this, std::move(finished)); })
    { }
    ~Watch() { request.cancel(); }

    std::optional<QString> problem() const
    {
        switch (secret) {
        case Secret::Reading:
            return tr("Zugangsdaten werden aus dem Schlüsselbund gelesen …");
        case Secret::Missing:
            return tr("Die Zugangsdaten fehlen im Schlüsselbund. Bitte den Feed neu hinzufügen.");
        case Secret::Unavailable:
            return tr("Schlüsselbund nicht verfügbar");
        default:
            break;
        }
        return failure ? std::optional(failure->text()) : std::nullopt;
    }
    bool ready() const { return secret == Secret::None || secret == Secret::Read; }

    static QString tr(const char *text) { return CCTrayFeeds::tr(text); }

    const CCTrayFeedAddress address;
    QStringList watched;
    Secret secret;
    CCTrayCredentials credentials;
    QList<CCTrayProject> projects;
    bool answered = false;
    std::optional<CCTrayFailure> failure;
    int failures = 0; // in a row
    HttpValidators validators;
    CancelHandle request;
    PollLoop loop;
};

CCTrayFeeds::CCTrayFeeds(
    PreferenceStore &preferences, SecretStore &secrets, Scheduler &scheduler, CCTrayClient client, QObject *parent)
    : QObject(parent)
    , m_preferences(preferences)
    , m_secrets(secrets)
    , m_scheduler(scheduler)
    , m_client(std::move(client))
{
    follow();
    connect(&m_preferences, &PreferenceStore::valueChanged, this, [this](const QString &key) {
        if (key == feedsKey)
            follow();
    });
}

CCTrayFeeds::~CCTrayFeeds() = default;

QList<CCTrayFeeds::Feed> CCTrayFeeds::feeds() const
{
    QList<Feed> feeds;
    for (const auto &watch : m_watches)
        feeds.append({ watch->address, watch->watched, watch->projects, watch->answered, watch->problem() });
    return feeds;
}

int CCTrayFeeds::watchedCount() const
{
    qsizetype count = 0;
    for (const auto &watch : m_watches)
        count += watch->watched.size();
    return int(count);
}

void CCTrayFeeds::follow()
{
    std::vector<std::unique_ptr<Watch>> next;
    std::vector<Watch *> added;
    int watched = 0;
    for (StoredFeed &stored : storedFeeds(m_preferences)) {
        // The limit holds however the file was written: checks past it are not watched.
        stored.watched.removeDuplicates();
        stored.watched = stored.watched.mid(0, std::max(0, maximumWatched - watched));
        watched += int(stored.watched.size());
        auto kept = std::find_if(m_watches.begin(), m_watches.end(),
            [&](const auto &watch) { return watch && watch->address.url == stored.address.url; });
        if (kept != m_watches.end()) {
            (*kept)->watched = stored.watched;
            next.push_back(std::move(*kept));
            continue;
        }
        next.push_back(std::make_unique<Watch>(*this, stored));
        added.push_back(next.back().get());
    }
    // Feeds left out go with their polls in flight.
    m_watches = std::move(next);
    for (Watch *watch : added) {
        if (watch->secret == Watch::Secret::Reading && m_readingSecrets)
            readSecret(*watch);
        if (m_running)
            watch->loop.start();
    }
    Q_EMIT changed();
}

void CCTrayFeeds::readSecret(Watch &watch)
{
    watch.secret = Watch::Secret::Reading;
    m_secrets.readAsync(watch.address.secretAccount(),
        [guard = QPointer(this), target = &watch, url = watch.address.url](const SecretStore::ReadResult &read) {
            // The feed may have gone meanwhile, and another taken its place in memory.
            if (!guard)
                return;
            const auto found = std::find_if(guard->m_watches.cbegin(), guard->m_watches.cend(),
                [&](const auto &kept) { return kept.get() == target && kept->address.url == url; });
            if (found == guard->m_watches.cend() || target->secret == Watch::Secret::Read)
                return;
            using State = SecretStore::ReadResult::State;
            target->secret = read.state == State::Found ? Watch::Secret::Read
                : read.state == State::NoItem           ? Watch::Secret::Missing
                                                        : Watch::Secret::Unavailable;
            target->credentials = CCTrayCredentials::decode(read.text);
            if (target->ready() && guard->m_running)
                target->loop.start();
            Q_EMIT guard->changed();
        });
}

void CCTrayFeeds::readSecrets()
{
    m_readingSecrets = true;
    for (const auto &watch : m_watches) {
        if (!watch->ready())
            readSecret(*watch);
    }
    Q_EMIT changed();
}

void CCTrayFeeds::start()
{
    m_running = true;
    for (const auto &watch : m_watches) {
        watch->answered = false;
        watch->loop.start();
    }
}

void CCTrayFeeds::stop()
{
    m_running = false;
    for (const auto &watch : m_watches) {
        watch->loop.stop();
        watch->request.cancel();
    }
}

void CCTrayFeeds::poll(Watch &watch, std::function<void(double)> finished)
{
    watch.request.cancel();
    // Without its credentials a feed is not asked: it is polled once they are read.
    if (!watch.ready())
        return finished(PollLoop::backOff(5));
    watch.request = m_client.fetch(watch.address, watch.credentials, watch.validators,
        [this, target = &watch, finished = std::move(finished)](
            const CCTrayClient::Result &result) { receive(*target, result, finished); });
}

void CCTrayFeeds::receive(Watch &watch, const CCTrayClient::Result &result, const std::function<void(double)> &finished)
{
    // The pause is chosen before anything is announced: a listener may remove the feed.
    const auto next = [&] {
        const double own = watch.failures > 0 ? PollLoop::backOff(watch.failures) : pause;
        const bool wait = watch.failure && watch.failure->kind == CCTrayFailure::Kind::WaitAsked;
        const double chosen = wait ? std::max(watch.failure->wait, own) : own;
        qCDebug(lcCCTray).noquote() << watch.address.hostAndPath() << "next poll in" << chosen << "s";
        finished(chosen);
    };
    if (const auto *failure = std::get_if<CCTrayFailure>(&result)) {
        // A wait the server asks for is no failure: the back-off does not grow.
        if (failure->kind != CCTrayFailure::Kind::WaitAsked)
            ++watch.failures;
        const bool news = watch.failure != *failure;
        watch.failure = *failure;
        next();
        if (news)
            Q_EMIT changed();
        return;
    }
    const CCTrayAnswer &answer = std::get<CCTrayAnswer>(result);
    const bool cleared = watch.failure.has_value();
    watch.failure.reset();
    watch.failures = 0;
    // A 304 need not name the validators again (one answering to Last-Modified alone names none):
    // those it answered to stay for the next poll.
    if (!answer.unchanged)
        watch.validators = answer.validators;
    next();
    if (answer.unchanged) {
        watch.answered = true;
        if (cleared)
            Q_EMIT changed();
        return;
    }
    const bool first = !std::exchange(watch.answered, true);
    const QList<CCTrayProject> before = std::exchange(watch.projects, answer.projects);
    if (!first && before == watch.projects && !cleared)
        return;
    const QString address = watch.address.text();
    Q_EMIT changed();
    Q_EMIT answered(address, before, first);
}

template<typename Change> void CCTrayFeeds::rewrite(const QString &address, Change change)
{
    QVariantList list = m_preferences.value(feedsKey).toList();
    for (qsizetype i = 0; i < list.size(); ++i) {
        QVariantMap entry = list[i].toMap();
        if (entry.value(addressKey).toString() != address)
            continue;
        if (!change(entry))
            list.removeAt(i);
        else
            list[i] = entry;
        break;
    }
    m_preferences.setValue(feedsKey, list);
}

void CCTrayFeeds::add(const QString &input, const QString &user, const QString &password)
{
    if (m_busy)
        return;
    const auto parsed = CCTrayFeedAddress::parse(input, user, password);
    if (const auto *refusal = std::get_if<CCTrayFeedAddress::Refusal>(&parsed)) {
        m_feedback = refusal->reason;
        Q_EMIT changed();
        return;
    }
    const auto &[address, credentials] = std::get<0>(parsed);
    const bool listed = std::any_of(
        m_watches.cbegin(), m_watches.cend(), [&](const auto &watch) { return watch->address.url == address.url; });
    if (listed && credentials.isEmpty()) {
        m_feedback = tr("Dieser Feed steht schon in der Liste.");
        Q_EMIT changed();
        return;
    }
    // A listed feed given credentials takes them in place of its old ones (a renewed token) and
    // keeps its checks; any other is added to the list.
    const auto keep = [this, address = address, listed](bool secret) {
        if (listed) {
            rewrite(address.text(), [](QVariantMap &entry) {
                entry.insert(secretKey, true);
                return true;
            });
            return;
        }
        QVariantList list = m_preferences.value(feedsKey).toList();
        list.append(
            QVariantMap { { addressKey, address.text() }, { secretKey, secret }, { watchedKey, QStringList() } });
        m_preferences.setValue(feedsKey, list);
    };
    m_feedback.clear();
    if (credentials.isEmpty()) {
        keep(false);
        return;
    }
    m_busy = true;
    Q_EMIT changed();
    qCDebug(lcCCTray).noquote() << "storing the credentials of" << address.hostAndPath();
    m_secrets.saveAsync(credentials.encode(), address.secretAccount(),
        [guard = QPointer(this), keep, listed, url = address.url, credentials = credentials](
            const std::optional<SecretStore::Error> &failure) {
            if (!guard)
                return;
            guard->m_busy = false;
            if (failure) {
                guard->m_feedback = tr("Der Schlüsselbund hat die Zugangsdaten nicht gespeichert.");
                Q_EMIT guard->changed();
                return;
            }
            keep(true);
            // Known already: the feed need not wait for the store to give them back, and asks at
            // once with them.
            for (const auto &watch : guard->m_watches) {
                if (watch->address.url == url && (listed || watch->secret != Watch::Secret::Read)) {
                    watch->secret = Watch::Secret::Read;
                    watch->credentials = credentials;
                    watch->failures = 0;
                    if (guard->m_running)
                        watch->loop.start();
                }
            }
            if (listed)
                guard->m_feedback = tr("Die neuen Zugangsdaten sind gespeichert.");
            Q_EMIT guard->changed();
        });
}

void CCTrayFeeds::remove(const QString &address)
{
    const auto found = std::find_if(
        m_watches.cbegin(), m_watches.cend(), [&](const auto &watch) { return watch->address.text() == address; });
    if (found == m_watches.cend())
        return;
    if ((*found)->secret != Watch::Secret::None) {
        const CCTrayFeedAddress gone = (*found)->address;
        m_secrets.removeAsync(gone.secretAccount(), [gone](const std::optional<SecretStore::Error> &failure) {
            if (failure)
                qCWarning(lcCCTray).noquote() << "the credentials of" << gone.hostAndPath() << "stay in the store";
        });
    }
    rewrite(address, [](QVariantMap &) { return false; });
}

bool CCTrayFeeds::setWatched(const QString &address, const QString &project, bool watched)
{
    const auto found = std::find_if(
        m_watches.cbegin(), m_watches.cend(), [&](const auto &watch) { return watch->address.text() == address; });
    if (found == m_watches.cend() || (*found)->watched.contains(project) == watched)
        return true;
    if (watched && watchedCount() >= maximumWatched)
        return false;
    QStringList names = (*found)->watched;
    if (watched)
        names.append(project);
    else
        names.removeAll(project);
    rewrite(address, [&](QVariantMap &entry) {
        entry.insert(watchedKey, names);
        return true;
    });
    return true;
}
