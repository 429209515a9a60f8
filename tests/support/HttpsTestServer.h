#pragma once

#include <QFile>
#include <QHostAddress>
#include <QSslKey>
#include <QSslSocket>
#include <QTcpServer>
#include <QUrl>

#include <algorithm>
#include <functional>

// An HTTPS server inside the test process, on 127.0.0.1 and a free port, for testing clients
// against a real TLS peer; only a client handed certificate() trusts it. Answers are scripted per
// path or computed by a handler; every request is recorded. One request per connection.
class HttpsTestServer final : public QTcpServer {
public:
    using Headers = QList<QPair<QByteArray, QByteArray>>;

    struct Request {
        QByteArray target; // path and query, as sent
        Headers headers; // in the order they were sent
        QByteArray method = {};

        // The first header of that name (case-insensitive), or a null array.
        QByteArray header(const QByteArray &name) const
        {
            const auto found = std::ranges::find_if(
                headers, [&](const auto &header) { return header.first.compare(name, Qt::CaseInsensitive) == 0; });
            return found == headers.end() ? QByteArray() : found->second;
        }
        bool hasHeader(const QByteArray &name) const { return !header(name).isNull(); }
        QByteArray path() const { return target.split('?').first(); }
    };

    struct Response {
        enum class Mode {
            Complete,
            CloseMidBody, // announces the whole body but closes after half of it
            NeverAnswer, // reads the request and never sends a byte
        };

        int status = 200;
        Headers headers;
        QByteArray body;
        Mode mode = Mode::Complete;

        static Response json(const QByteArray &body, int status = 200)
        {
            return { status, { { "Content-Type", "application/json; charset=utf-8" } }, body };
        }
        static Response redirect(const QUrl &location) { return { 302, { { "Location", location.toEncoded() } }, {} }; }
        static Response withMode(Mode mode, const QByteArray &body = QByteArray(200, 'x'))
        {
            return { 200, json(body).headers, body, mode };
        }
    };

    // False if the certificate is missing or no port could be opened.
    bool start() { return !certificate().isNull() && listen(QHostAddress::LocalHost, 0); }
    QUrl origin() const
    {
        return QUrl(QStringLiteral("%1://127.0.0.1:%2")
                        .arg(m_plain ? QStringLiteral("http") : QStringLiteral("https"))
                        .arg(serverPort()));
    }
    // Answers over plain HTTP instead, for clients that must also work without TLS.
    void setPlain(bool plain) { m_plain = plain; }
    QUrl url(const QString &pathAndQuery) const { return QUrl(origin().toString() + pathAndQuery); }

    // The answer for one path; other paths get 404.
    void setResponse(const QString &path, const Response &response) { m_responses.insert(path.toUtf8(), response); }
    void setHandler(std::function<Response(const Request &)> handler) { m_handler = std::move(handler); }
    const QList<Request> &requests() const { return m_requests; }
    void clearRequests() { m_requests.clear(); }

    static QSslCertificate certificate() { return QSslCertificate(pem()); }
    // The bytes a whole answer puts on the connection (before TLS), for the benchmarks.
    static qint64 answeredBytes(const Response &response) { return head(response).size() + response.body.size(); }

protected:
    void incomingConnection(qintptr descriptor) override
    {
        auto *socket = new QSslSocket(this);
        socket->setSocketDescriptor(descriptor);
        socket->setLocalCertificate(certificate());
        socket->setPrivateKey(QSslKey(pem(), QSsl::Ec));
        connect(socket, &QSslSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QSslSocket::readyRead, this, [this, socket, received = QByteArray()]() mutable {
            received += socket->readAll();
            const qsizetype end = received.indexOf("\r\n\r\n");
            if (end < 0)
                return;
            const QList<QByteArray> lines = received.left(end).split('\n');
            disconnect(socket, &QSslSocket::readyRead, this, nullptr); // one request per connection
            Request request { lines[0].split(' ').value(1), {}, lines[0].split(' ').value(0) };
            for (const QByteArray &line : lines.mid(1))
                if (const qsizetype colon = line.indexOf(':'); colon > 0)
                    request.headers.append({ line.left(colon).trimmed(), line.mid(colon + 1).trimmed() });
            m_requests.append(request);
            const Response response
                = m_handler ? m_handler(request) : m_responses.value(request.path(), Response::json("{}", 404));
            if (response.mode == Response::Mode::NeverAnswer)
                return;
            const bool whole = response.mode == Response::Mode::Complete;
            socket->write(head(response) + (whole ? response.body : response.body.left(response.body.size() / 2)));
            socket->disconnectFromHost(); // sends what is queued, then closes
        });
        if (!m_plain)
            socket->startServerEncryption();
    }

private:
    // A key pair for the loopback address, made for the tests and valid for a century.
    static QByteArray pem()
    {
        QFile file(QStringLiteral(TARNLET_TEST_PEM));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    static QByteArray head(const Response &response)
    {
        QByteArray head = "HTTP/1.1 " + QByteArray::number(response.status) + " Scripted\r\n";
        for (const auto &[name, value] : response.headers)
            head += name + ": " + value + "\r\n";
        return head + "Content-Length: " + QByteArray::number(response.body.size()) + "\r\nConnection: close\r\n\r\n";
    }

    QHash<QByteArray, Response> m_responses;
    std::function<Response(const Request &)> m_handler;
    QList<Request> m_requests;
    bool m_plain = false;
};
