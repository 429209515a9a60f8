#include "HttpsTestServer.h"

#include <QFile>
#include <QHostAddress>
#include <QProcess>
#include <QSslConfiguration>
#include <QSslSocket>
#include <QTemporaryDir>

#include <algorithm>

#include <cstdio>

namespace {

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

QByteArray HttpsTestServer::Request::header(const QByteArray &name) const
{
    for (const auto &[key, value] : headers) {
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            return value;
    }
    return {};
}

bool HttpsTestServer::Request::hasHeader(const QByteArray &name) const
{
    return std::any_of(headers.begin(), headers.end(),
        [&](const auto &pair) { return pair.first.compare(name, Qt::CaseInsensitive) == 0; });
}

QByteArray HttpsTestServer::Request::path() const
{
    const qsizetype query = target.indexOf('?');
    return query < 0 ? target : target.left(query);
}

HttpsTestServer::Response HttpsTestServer::Response::json(const QByteArray &body, int status)
{
    return { status, { { "Content-Type", "application/json; charset=utf-8" } }, body };
}

HttpsTestServer::Response HttpsTestServer::Response::redirect(const QUrl &location, int status)
{
    return { status, { { "Location", location.toEncoded() } }, {} };
}

HttpsTestServer::Response HttpsTestServer::Response::withMode(Mode mode, const QByteArray &body)
{
    return { 200, json(body).headers, body, mode };
}

const HttpsTestServer::Identity &HttpsTestServer::identity()
{
    // Made once per test process: a fresh key pair, valid for two days, for the loopback address.
    static const Identity made = [] {
        QTemporaryDir dir;
        QProcess openssl;
        openssl.setProcessChannelMode(QProcess::MergedChannels);
        openssl.start(QStringLiteral("openssl"),
            { QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"), QStringLiteral("ec"),
                QStringLiteral("-pkeyopt"), QStringLiteral("ec_paramgen_curve:prime256v1"), QStringLiteral("-nodes"),
                QStringLiteral("-days"), QStringLiteral("2"), QStringLiteral("-subj"), QStringLiteral("/CN=127.0.0.1"),
                QStringLiteral("-addext"), QStringLiteral("subjectAltName=IP:127.0.0.1"), QStringLiteral("-keyout"),
                dir.filePath(QStringLiteral("key.pem")), QStringLiteral("-out"),
                dir.filePath(QStringLiteral("cert.pem")) });
        if (!openssl.waitForFinished(30000) || openssl.exitCode() != 0)
            std::fprintf(stderr, "openssl failed: %s\n", openssl.readAll().constData());
        Identity identity;
        identity.certificate = QSslCertificate(readAll(dir.filePath(QStringLiteral("cert.pem"))), QSsl::Pem);
        identity.key = QSslKey(readAll(dir.filePath(QStringLiteral("key.pem"))), QSsl::Ec, QSsl::Pem);
        return identity;
    }();
    return made;
}

QSslCertificate HttpsTestServer::certificate()
{
    return identity().certificate;
}

bool HttpsTestServer::start()
{
    if (identity().certificate.isNull() || identity().key.isNull()) {
        std::fprintf(stderr, "HttpsTestServer: no certificate\n");
        return false;
    }
    if (!listen(QHostAddress::LocalHost, 0)) {
        std::fprintf(stderr, "HttpsTestServer: %s\n", qPrintable(errorString()));
        return false;
    }
    return true;
}

QUrl HttpsTestServer::origin() const
{
    return QUrl(QStringLiteral("https://127.0.0.1:%1").arg(serverPort()));
}

QUrl HttpsTestServer::url(const QString &pathAndQuery) const
{
    return QUrl(origin().toString() + pathAndQuery);
}

void HttpsTestServer::setResponse(const QString &pathOrTarget, const Response &response)
{
    m_responses.insert(pathOrTarget.toUtf8(), response);
}

void HttpsTestServer::setHandler(std::function<Response(const Request &)> handler)
{
    m_handler = std::move(handler);
}

void HttpsTestServer::incomingConnection(qintptr socketDescriptor)
{
    auto *socket = new QSslSocket(this);
    if (!socket->setSocketDescriptor(socketDescriptor)) {
        delete socket;
        return;
    }
    QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
    configuration.setLocalCertificate(identity().certificate);
    configuration.setPrivateKey(identity().key);
    configuration.setPeerVerifyMode(QSslSocket::VerifyNone);
    configuration.setAllowedNextProtocols({ QSslConfiguration::NextProtocolHttp1_1 });
    socket->setSslConfiguration(configuration);
    connect(socket, &QSslSocket::readyRead, this, [this, socket] { readFrom(socket); });
    connect(socket, &QSslSocket::disconnected, this, [this, socket] {
        m_buffers.remove(socket);
        socket->deleteLater();
    });
    // A client that refuses the certificate just hangs up; nothing to answer then.
    connect(socket, &QSslSocket::sslErrors, socket, [socket] { socket->abort(); });
    m_buffers.insert(socket, QByteArray());
    socket->startServerEncryption();
}

void HttpsTestServer::readFrom(QSslSocket *socket)
{
    auto buffer = m_buffers.find(socket);
    if (buffer == m_buffers.end())
        return; // already answered: one request per connection
    buffer->append(socket->readAll());
    const qsizetype headerEnd = buffer->indexOf("\r\n\r\n");
    if (headerEnd < 0)
        return;

    Request request;
    const QList<QByteArray> lines = buffer->left(headerEnd).split('\n');
    const QList<QByteArray> requestLine = lines.value(0).trimmed().split(' ');
    request.method = requestLine.value(0);
    request.target = requestLine.value(1);
    qsizetype contentLength = 0;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const qsizetype colon = lines[i].indexOf(':');
        if (colon <= 0)
            continue;
        const QByteArray name = lines[i].left(colon).trimmed();
        const QByteArray value = lines[i].mid(colon + 1).trimmed();
        request.headers.append({ name, value });
        if (name.compare("Content-Length", Qt::CaseInsensitive) == 0)
            contentLength = value.toLongLong();
    }
    if (buffer->size() < headerEnd + 4 + contentLength)
        return; // the body is still on its way
    request.body = buffer->mid(headerEnd + 4, contentLength);
    m_buffers.erase(buffer);

    m_requests.append(request);
    answer(socket, request);
}

HttpsTestServer::Response HttpsTestServer::responseFor(const Request &request) const
{
    if (m_handler)
        return m_handler(request);
    if (auto found = m_responses.constFind(request.target); found != m_responses.constEnd())
        return *found;
    if (auto found = m_responses.constFind(request.path()); found != m_responses.constEnd())
        return *found;
    return Response::json("{}", 404);
}

QByteArray HttpsTestServer::head(const Response &response)
{
    QByteArray head = "HTTP/1.1 " + QByteArray::number(response.status) + " Scripted\r\n";
    bool hasLength = false;
    for (const auto &[name, value] : response.headers) {
        head += name + ": " + value + "\r\n";
        hasLength = hasLength || name.compare("Content-Length", Qt::CaseInsensitive) == 0;
    }
    if (!hasLength)
        head += "Content-Length: " + QByteArray::number(response.body.size()) + "\r\n";
    head += "Connection: close\r\n\r\n";
    return head;
}

qint64 HttpsTestServer::answeredBytes(const Response &response)
{
    return head(response).size() + response.body.size();
}

void HttpsTestServer::answer(QSslSocket *socket, const Request &request)
{
    const Response response = responseFor(request);
    if (response.mode == Response::Mode::NeverAnswer)
        return;

    const bool partial = response.mode != Response::Mode::Complete;
    socket->write(head(response) + (partial ? response.body.left(response.body.size() / 2) : response.body));
    if (response.mode != Response::Mode::StallMidBody)
        socket->disconnectFromHost(); // sends what is queued, then closes
}
