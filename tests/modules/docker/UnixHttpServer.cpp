#include "UnixHttpServer.h"

#include <QLocalSocket>

#include <memory>

UnixHttpServer::UnixHttpServer(const QString &socketPath)
{
    connect(&m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *socket = m_server.nextPendingConnection()) {
            socket->setParent(this);
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            // One request per connection: collect its head, then answer.
            auto received = std::make_shared<QByteArray>();
            connect(socket, &QLocalSocket::readyRead, this, [this, socket, received] {
                *received += socket->readAll();
                const qsizetype end = received->indexOf("\r\n\r\n");
                if (end < 0)
                    return;
                m_requests.append(received->left(end));
                disconnect(socket, &QLocalSocket::readyRead, this, nullptr);
                answer(socket);
            });
        }
    });
    m_server.listen(socketPath);
}

void UnixHttpServer::answer(QLocalSocket *socket) const
{
    if (m_reply.silent)
        return;
    const QByteArray head = "HTTP/1.1 " + QByteArray::number(m_reply.status) + " Scripted\r\n"
        + "Content-Type: application/json\r\nContent-Length: " + QByteArray::number(m_reply.body.size())
        + "\r\nConnection: close\r\n\r\n";
    socket->write(head + m_reply.body);
    socket->disconnectFromServer(); // closes once everything is written
}
