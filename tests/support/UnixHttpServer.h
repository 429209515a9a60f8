#pragma once

#include <QLocalServer>
#include <QLocalSocket>

// An HTTP/1.1 server on a unix socket inside the test process, so that a real curl can speak to it
// while the test's event loop runs. Every request gets the one scripted reply; the heads are kept.
class UnixHttpServer final : public QObject {
public:
    struct Reply {
        int status = 200;
        QByteArray body;
        bool silent = false; // reads the request, then never answers
    };

    // Listens at `socketPath`; check isListening().
    explicit UnixHttpServer(const QString &socketPath)
    {
        connect(&m_server, &QLocalServer::newConnection, this, [this] {
            while (QLocalSocket *socket = m_server.nextPendingConnection()) {
                connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
                connect(socket, &QLocalSocket::readyRead, this, [this, socket, received = QByteArray()]() mutable {
                    received += socket->readAll();
                    const qsizetype end = received.indexOf("\r\n\r\n");
                    if (end < 0)
                        return;
                    m_requests.append(received.left(end));
                    disconnect(socket, &QLocalSocket::readyRead, this, nullptr);
                    if (m_reply.silent)
                        return;
                    socket->write("HTTP/1.1 " + QByteArray::number(m_reply.status)
                        + " Scripted\r\nContent-Type: application/json\r\nContent-Length: "
                        + QByteArray::number(m_reply.body.size()) + "\r\nConnection: close\r\n\r\n" + m_reply.body);
                    socket->disconnectFromServer(); // closes once everything is written
                });
            }
        });
        m_server.listen(socketPath);
    }

    bool isListening() const { return m_server.isListening(); }
    void setReply(Reply reply) { m_reply = std::move(reply); }
    // Request heads (request line and headers) in arrival order.
    const QList<QByteArray> &requests() const { return m_requests; }

private:
    QLocalServer m_server;
    Reply m_reply;
    QList<QByteArray> m_requests;
};
