#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QPair>
#include <QSslCertificate>
#include <QSslKey>
#include <QTcpServer>
#include <QUrl>

#include <functional>

class QSslSocket;

// An HTTPS server inside the test process, on 127.0.0.1 and a free port, for testing clients
// against a real TLS peer. Its self-signed certificate (for the address 127.0.0.1) is made once
// per process with the openssl tool; only a client that is handed certificate() trusts it.
// Answers are scripted per path, every request is recorded with its headers in the order they
// were sent. One request per connection ("Connection: close").
class HttpsTestServer final : public QTcpServer {
    Q_OBJECT
public:
    using Headers = QList<QPair<QByteArray, QByteArray>>;

    struct Request {
        QByteArray method;
        QByteArray target; // path and query, as sent
        Headers headers; // in the order they were sent
        QByteArray body;

        // The first header of that name (case-insensitive), or a null array.
        QByteArray header(const QByteArray &name) const;
        bool hasHeader(const QByteArray &name) const;
        QByteArray path() const;
    };

    struct Response {
        enum class Mode {
            Complete, // status line, headers, whole body, then close
            CloseMidBody, // announces the whole body but closes after half of it
            StallMidBody, // sends half of the body, then keeps the connection open and silent
            NeverAnswer, // reads the request and never sends a byte
        };

        int status = 200;
        Headers headers;
        QByteArray body;
        Mode mode = Mode::Complete;

        static Response json(const QByteArray &body, int status = 200);
        static Response redirect(const QUrl &location, int status = 302);
        static Response withMode(Mode mode, const QByteArray &body = QByteArray(200, 'x'));
    };

    using QTcpServer::QTcpServer;

    // Starts listening on 127.0.0.1; false (with a test failure message on stderr) if the
    // certificate could not be made or the port not opened.
    bool start();

    // "https://127.0.0.1:PORT" and an address below it.
    QUrl origin() const;
    QUrl url(const QString &pathAndQuery) const;

    // The answer for one path. A request matches on its whole target (path and query) first,
    // then on its path alone; unmatched requests get 404 with an empty JSON object.
    void setResponse(const QString &pathOrTarget, const Response &response);
    // Computes every answer itself (takes precedence over setResponse()).
    void setHandler(std::function<Response(const Request &)> handler);

    const QList<Request> &requests() const { return m_requests; }
    void clearRequests() { m_requests.clear(); }

    // What a client must trust to talk to this server (and nothing else should).
    static QSslCertificate certificate();
    // The bytes a whole answer puts on the connection (before TLS), for the benchmarks.
    static qint64 answeredBytes(const Response &response);

protected:
    void incomingConnection(qintptr socketDescriptor) override;

private:
    struct Identity {
        QSslCertificate certificate;
        QSslKey key;
    };
    static const Identity &identity();

    void readFrom(QSslSocket *socket);
    void answer(QSslSocket *socket, const Request &request);
    Response responseFor(const Request &request) const;
    static QByteArray head(const Response &response);

    QHash<QByteArray, Response> m_responses;
    std::function<Response(const Request &)> m_handler;
    QList<Request> m_requests;
    QHash<QSslSocket *, QByteArray> m_buffers;
};
