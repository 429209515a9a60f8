#include "services/SecretStore.h"

#include <QCoreApplication>

namespace {

void deliverLater(SecretStore::Done done, const std::function<void()> &call)
{
    std::optional<SecretStore::Error> failure;
    try {
        call();
    } catch (const SecretStore::Error &error) {
        failure = error;
    }
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [done = std::move(done), failure] { done(failure); }, Qt::QueuedConnection);
}

} // namespace

void SecretStore::readAsync(const QString &account, ReadDone done)
{
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [done = std::move(done), result = read(account)] { done(result); },
        Qt::QueuedConnection);
}

void SecretStore::saveAsync(const QString &text, const QString &account, Done done)
{
    deliverLater(std::move(done), [&] { save(text, account); });
}

void SecretStore::removeAsync(const QString &account, Done done)
{
    deliverLater(std::move(done), [&] { remove(account); });
}
