#include "services/KeychainStore.h"

#include <QEventLoop>
#include <QStringDecoder>

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

} // namespace

std::optional<QString> KeychainStore::read(const QString &account)
{
    using Text = std::optional<QString>;
    return waitFor<Text>([&](const std::function<void(Text)> &deliver) {
        start(new QKeychain::ReadPasswordJob(QString::fromLatin1(service)), account,
            [deliver](const QKeychain::Job &job) {
                if (job.error() != QKeychain::NoError)
                    return deliver(std::nullopt);
                QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
                QString text = decoder.decode(static_cast<const QKeychain::ReadPasswordJob &>(job).binaryData());
                deliver(decoder.hasError() ? Text() : Text(std::move(text)));
            });
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
