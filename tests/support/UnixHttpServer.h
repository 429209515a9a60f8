#pragma once

#include <QByteArray>
#include <QList>
#include <QLocalServer>
#include <QString>

// An HTTP/1.1 server on a unix socket inside the test process, so that a real curl can speak to
// it while the test's event loop runs. Every request gets the one scripted reply; the request heads
// are recorded.
class UnixHttpServer final : public QObject {
public:
    struct Reply {
        int status = 200;
        QByteArray body;
        // Accept the connection and read the request, then never answer.
        bool silent = false;
    };

    // Listens at `socketPath` (a full path); check isListening().
    explicit UnixHttpServer(const QString &socketPath);

    // Leaves a socket file at `path` that nobody listens on, as a crashed engine does; false if it
    // could not be made.
    static bool makeStaleSocket(const QString &path);

    bool isListening() const { return m_server.isListening(); }
    void setReply(Reply reply) { m_reply = std::move(reply); }
    // Request heads (request line and headers) in arrival order.
    const QList<QByteArray> &requests() const { return m_requests; }

private:
    void answer(QLocalSocket *socket) const;

    QLocalServer m_server;
    Reply m_reply;
    QList<QByteArray> m_requests;
};
