#include "services/KeychainStore.h"

#include <QEventLoop>
#include <QStringDecoder>

#include <utility>

#ifdef Q_OS_LINUX
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#endif

#include <qt6keychain/keychain.h>

namespace {

using Failure = std::optional<SecretStore::Error>;

// Starts the job for the account; `onFinished` reads it when the store has answered, and the job
// deletes itself afterwards.
void start(QKeychain::Job *job, const QString &account, std::function<void(const QKeychain::Job &)> onFinished)
{
    job->setKey(account);
    job->setInsecureFallback(false); // never let a secret land in a plain settings file
    QObject::connect(job, &QKeychain::Job::finished, job,
        [onFinished = std::move(onFinished)](QKeychain::Job *finished) { onFinished(*finished); });
    job->start();
}

Failure failureOf(const QKeychain::Job &job)
{
    return job.error() == QKeychain::NoError ? Failure() : Failure(SecretStore::Error(std::int32_t(job.error())));
}

// Waits in a local event loop until `run` hands its result over.
template<class Result> Result waitFor(const std::function<void(const std::function<void(Result)> &)> &run)
{
    std::optional<Result> result;
    QEventLoop loop;
    run([&](Result answer) {
        result.emplace(std::move(answer));
        loop.quit();
    });
    if (!result)
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    return std::move(*result);
}

// Whether an item the store said it lacks is there but locked. Asked without waiting; `answer`
// gets the read's result.
void lockedOrMissing(const QString &account, const SecretStore::ReadDone &answer)
{
#ifdef Q_OS_LINUX
    // The Secret Service answers a read of a locked item with none when no unlock prompt could
    // be shown or it was dismissed. Its search tells locked items apart; no answer means it is not there.
    QDBusMessage search = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.secrets"),
        QStringLiteral("/org/freedesktop/secrets"), QStringLiteral("org.freedesktop.Secret.Service"),
        QStringLiteral("SearchItems"));
    QDBusArgument attributes;
    attributes.beginMap(QMetaType::fromType<QString>(), QMetaType::fromType<QString>());
    for (const auto &[name, value] : { std::pair(QStringLiteral("user"), account),
             std::pair(QStringLiteral("server"), QString::fromLatin1(KeychainStore::service)) }) {
        attributes.beginMapEntry();
        attributes << name << value;
        attributes.endMapEntry();
    }
    attributes.endMap();
    search << QVariant::fromValue(attributes);
    auto *watcher = new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(search));
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher, [answer](QDBusPendingCallWatcher *call) {
        call->deleteLater();
        const QDBusPendingReply<QList<QDBusObjectPath>, QList<QDBusObjectPath>> reply = *call;
        if (reply.isError() || !reply.argumentAt<1>().isEmpty())
            return answer(SecretStore::ReadResult::unavailable());
        answer(SecretStore::ReadResult::noItem());
    });
#else
    Q_UNUSED(account);
    answer(SecretStore::ReadResult::noItem());
#endif
}

} // namespace

SecretStore::ReadResult KeychainStore::read(const QString &account)
{
    return waitFor<ReadResult>([&](const std::function<void(ReadResult)> &done) { readAsync(account, done); });
}

void KeychainStore::readAsync(const QString &account, ReadDone done)
{
    start(new QKeychain::ReadPasswordJob(QString::fromLatin1(service)), account,
        [done = std::move(done), account](const QKeychain::Job &job) {
            if (job.error() == QKeychain::EntryNotFound)
                return lockedOrMissing(account, done);
            // Any other failure is the store's: locked, not there, refusing.
            if (job.error() != QKeychain::NoError)
                return done(ReadResult::unavailable());
            QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
            QString text = decoder.decode(static_cast<const QKeychain::ReadPasswordJob &>(job).binaryData());
            done(decoder.hasError() ? ReadResult::noItem() : ReadResult::found(std::move(text)));
        });
}

void KeychainStore::save(const QString &text, const QString &account)
{
    if (const Failure failure
        = waitFor<Failure>([&](const std::function<void(Failure)> &done) { saveAsync(text, account, done); }))
        throw *failure;
}

void KeychainStore::remove(const QString &account)
{
    if (const Failure failure
        = waitFor<Failure>([&](const std::function<void(Failure)> &done) { removeAsync(account, done); }))
        throw *failure;
}

void KeychainStore::saveAsync(const QString &text, const QString &account, Done done)
{
    // The Secret Service replaces an item with the same attributes in one step, so a failed
    // write leaves the previous secret in place.
    auto *job = new QKeychain::WritePasswordJob(QString::fromLatin1(service));
    job->setTextData(text);
    start(job, account, [done = std::move(done)](const QKeychain::Job &finished) { done(failureOf(finished)); });
}

void KeychainStore::removeAsync(const QString &account, Done done)
{
    start(new QKeychain::DeletePasswordJob(QString::fromLatin1(service)), account,
        [done = std::move(done)](const QKeychain::Job &finished) {
            done(finished.error() == QKeychain::EntryNotFound ? Failure() : failureOf(finished));
        });
}
