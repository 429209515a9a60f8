#include "UnixHttpServer.h"

#include <QFile>
#include <QLocalSocket>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
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

bool UnixHttpServer::makeStaleSocket(const QString &path)
{
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    const QByteArray native = QFile::encodeName(path);
    if (size_t(native.size()) >= sizeof address.sun_path)
        return false;
    std::memcpy(address.sun_path, native.constData(), size_t(native.size()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    if (fd < 0)
        return false;
    const bool bound = ::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0;
    ::close(fd);
    return bound;
}
