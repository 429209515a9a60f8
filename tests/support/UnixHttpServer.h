#pragma once

#include <QLocalServer>
#include <QLocalSocket>

#include <algorithm>

// An HTTP/1.1 server on a unix socket inside the test process, so that a real curl can speak to it
// while the test's event loop runs. Every request gets the one scripted reply, or the one scripted
// for a part of its request line; the heads are kept.
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
                    const QByteArray requestLine = m_requests.last().left(m_requests.last().indexOf('\r'));
                    const auto scripted = std::find_if(m_replies.cbegin(), m_replies.cend(),
                        [&](const auto &entry) { return requestLine.contains(entry.first); });
                    const Reply &reply = scripted == m_replies.cend() ? m_reply : scripted->second;
                    if (reply.silent)
                        return;
                    socket->write("HTTP/1.1 " + QByteArray::number(reply.status)
                        + " Scripted\r\nContent-Type: application/json\r\nContent-Length: "
                        + QByteArray::number(reply.body.size()) + "\r\nConnection: close\r\n\r\n" + reply.body);
                    socket->disconnectFromServer(); // closes once everything is written
                });
            }
        });
        m_server.listen(socketPath);
    }

    bool isListening() const { return m_server.isListening(); }
    void setReply(Reply reply) { m_reply = std::move(reply); }
    void setReply(const QByteArray &requestLinePart, Reply reply) { m_replies.append({ requestLinePart, reply }); }
    // Request heads (request line and headers) in arrival order.
    const QList<QByteArray> &requests() const { return m_requests; }

private:
    QLocalServer m_server;
    Reply m_reply;
    QList<std::pair<QByteArray, Reply>> m_replies;
    QList<QByteArray> m_requests;
};
