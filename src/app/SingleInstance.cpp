#include "app/SingleInstance.h"

#include <QDir>
#include <QLocalSocket>
#include <QStandardPaths>

namespace {

const QByteArray showSettingsMessage = "show-settings\n";
constexpr int answerTimeoutMs = 2000;

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
    if (m_server.listen(m_path))
        return Claim::Owner;
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
    // Only a socket nobody listens on is taken over (a crashed instance left it behind).
    if (socket.error() != QLocalSocket::ConnectionRefusedError)
        return Claim::Unguarded;
    QLocalServer::removeServer(m_path);
    return m_server.listen(m_path) ? Claim::Owner : Claim::Unguarded;
}
