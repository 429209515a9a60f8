#include "services/KeychainStore.h"

#include <QEventLoop>
#include <QStringDecoder>

#include <qt6keychain/keychain.h>

namespace {

// Starts the job and waits for its finished() signal.
void runToEnd(QKeychain::Job &job)
{
    job.setAutoDelete(false);
    job.setInsecureFallback(false); // never let a secret land in a plain settings file
    QEventLoop loop;
    QObject::connect(&job, &QKeychain::Job::finished, &loop, &QEventLoop::quit);
    job.start();
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

} // namespace

std::optional<QString> KeychainStore::read(const QString &account)
{
    QKeychain::ReadPasswordJob job(QString::fromLatin1(service));
    job.setKey(account);
    runToEnd(job);
    if (job.error() != QKeychain::NoError)
        return std::nullopt;
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(job.binaryData());
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

void KeychainStore::save(const QString &text, const QString &account)
{
    // The Secret Service replaces an item with the same attributes in one step, so a failed
    // write leaves the previous secret in place.
    QKeychain::WritePasswordJob job(QString::fromLatin1(service));
    job.setKey(account);
    job.setTextData(text);
    runToEnd(job);
    if (job.error() != QKeychain::NoError)
        throw KeychainError(std::int32_t(job.error()));
}

void KeychainStore::remove(const QString &account)
{
    QKeychain::DeletePasswordJob job(QString::fromLatin1(service));
    job.setKey(account);
    runToEnd(job);
    if (job.error() != QKeychain::NoError && job.error() != QKeychain::EntryNotFound)
        throw KeychainError(std::int32_t(job.error()));
}
