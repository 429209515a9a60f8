#include "app/SingleInstance.h"

#include <QDir>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>

namespace {

const QByteArray showSettingsMessage = "show-settings\n";
constexpr int answerTimeoutMs = 2000;
// A holder of the lock that is still starting gets this long to listen.
constexpr int connectAttempts = 10;
constexpr unsigned long connectRetryMs = 200;

} // namespace

SingleInstance::SingleInstance(const QString &key, QObject *parent)
    : QObject(parent)
    , m_path(socketPath(QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation), key))
{
    // No socket options: with them Qt moves a fresh socket over an existing one instead of
    // failing, which would let a second instance steal the first one's place. The runtime folder
    // is private to the user already.
    connect(&m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *client = m_server.nextPendingConnection()) {
            connect(client, &QLocalSocket::disconnected, client, &QObject::deleteLater);
            // A peer that connects and says nothing must not keep its connection for ever.
            QTimer::singleShot(requestTimeoutMs, client, [client] { client->abort(); });
            connect(client, &QLocalSocket::readyRead, this, [this, client] {
                if (!client->canReadLine())
                    return;
                // Only the one known request; anything else is dropped with the connection.
                if (client->readLine(64) == showSettingsMessage)
                    Q_EMIT showSettingsRequested();
                client->disconnectFromServer();
            });
        }
    });
}

QString SingleInstance::socketPath(const QString &folder, const QString &key)
{
    QString name = key;
    for (QChar &c : name)
        if (!c.isLetterOrNumber() && c != u'.' && c != u'-')
            c = u'_';
    return QDir(folder).filePath(QStringLiteral("tarnlet-%1.socket").arg(name));
}

SingleInstance::Claim SingleInstance::claim()
{
    auto lock = std::make_unique<QLockFile>(m_path + QStringLiteral(".lock"));
    // Only a lock whose holder is gone is stale, never one that is merely old.
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0)) {
        if (lock->error() != QLockFile::LockFailedError)
            return Claim::Unguarded; // no runtime folder, or it cannot be written
        return forward();
    }
    m_lock = std::move(lock);
    // The lock is ours: a socket file still there was left by a crashed instance.
    QLocalServer::removeServer(m_path);
    return m_server.listen(m_path) ? Claim::Owner : Claim::Unguarded;
}

SingleInstance::Claim SingleInstance::forward()
{
    for (int attempt = 0; attempt < connectAttempts; ++attempt) {
        QLocalSocket socket;
        socket.connectToServer(m_path);
        if (socket.waitForConnected(answerTimeoutMs)) {
            socket.write(showSettingsMessage);
            socket.waitForBytesWritten(answerTimeoutMs);
            // The first instance hangs up once it has read the request; a busy one reads it later.
            if (socket.state() == QLocalSocket::ConnectedState)
                socket.waitForDisconnected(answerTimeoutMs);
            return Claim::Forwarded;
        }
        // The holder has not listened yet: it is starting up.
        QThread::msleep(connectRetryMs);
    }
    return Claim::Taken;
}
