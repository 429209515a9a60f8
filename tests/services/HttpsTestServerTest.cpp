// The test HTTPS server answers as scripted, records what it was sent and is trusted only by a
// client that is handed its certificate.
#include "HttpsTestServer.h"
#include "QtPrinters.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {

using Response = HttpsTestServer::Response;

struct Fetched {
    QNetworkReply::NetworkError error = QNetworkReply::NoError;
    int status = 0;
    QByteArray body;
};

Fetched fetch(QNetworkAccessManager &network, const QUrl &url, bool trusted = true, int timeoutMs = 10000)
{
    QNetworkRequest request(url);
    if (trusted)
        request.setSslConfiguration(HttpsTestServer::clientConfiguration());
    request.setRawHeader("X-First", "1");
    request.setRawHeader("X-Second", "2");
    request.setTransferTimeout(timeoutMs);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    QNetworkReply *reply = network.get(request);
    QSignalSpy finished(reply, &QNetworkReply::finished);
    EXPECT_TRUE(finished.wait(timeoutMs + 5000));
    Fetched result { reply->error(), reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(),
        reply->readAll() };
    delete reply;
    return result;
}

TEST(HttpsTestServer, AnswersAsScriptedAndRecordsRequestsWithHeadersInOrder)
{
    HttpsTestServer server;
    ASSERT_TRUE(server.start());
    server.setResponse(QStringLiteral("/a"), Response::json("[1]"));
    server.setResponse(QStringLiteral("/a?x=1"), Response::json("[2]", 201));
    server.setResponse(QStringLiteral("/gone"), Response::redirect(QUrl(QStringLiteral("https://example.org/z"))));
    QNetworkAccessManager network;

    Fetched plain = fetch(network, server.url(QStringLiteral("/a?y=2")));
    EXPECT_EQ(plain.status, 200);
    EXPECT_EQ(plain.body, "[1]");
    Fetched exact = fetch(network, server.url(QStringLiteral("/a?x=1")));
    EXPECT_EQ(exact.status, 201);
    EXPECT_EQ(exact.body, "[2]");
    EXPECT_EQ(fetch(network, server.url(QStringLiteral("/other"))).status, 404);
    EXPECT_EQ(fetch(network, server.url(QStringLiteral("/gone"))).status, 302);

    ASSERT_EQ(server.requests().size(), 4);
    const HttpsTestServer::Request &first = server.requests().first();
    EXPECT_EQ(first.method, "GET");
    EXPECT_EQ(first.target, "/a?y=2");
    EXPECT_EQ(first.path(), "/a");
    EXPECT_EQ(first.header("x-first"), "1");
    qsizetype firstAt = -1, secondAt = -1;
    for (qsizetype i = 0; i < first.headers.size(); ++i) {
        if (first.headers[i].first == "X-First")
            firstAt = i;
        if (first.headers[i].first == "X-Second")
            secondAt = i;
    }
    EXPECT_GE(firstAt, 0);
    EXPECT_GT(secondAt, firstAt);
}

TEST(HttpsTestServer, ClosesMidBodyStallsOrNeverAnswers)
{
    HttpsTestServer server;
    ASSERT_TRUE(server.start());
    server.setResponse(QStringLiteral("/cut"), Response::withMode(Response::Mode::CloseMidBody));
    server.setResponse(QStringLiteral("/stall"), Response::withMode(Response::Mode::StallMidBody));
    server.setResponse(QStringLiteral("/silent"), Response::withMode(Response::Mode::NeverAnswer));
    QNetworkAccessManager network;

    EXPECT_NE(fetch(network, server.url(QStringLiteral("/cut"))).error, QNetworkReply::NoError);
    EXPECT_NE(fetch(network, server.url(QStringLiteral("/stall")), true, 300).error, QNetworkReply::NoError);
    EXPECT_NE(fetch(network, server.url(QStringLiteral("/silent")), true, 300).error, QNetworkReply::NoError);
    EXPECT_EQ(server.requests().size(), 3);
}

TEST(HttpsTestServer, IsNotTrustedByAnOrdinaryClient)
{
    HttpsTestServer server;
    ASSERT_TRUE(server.start());
    QNetworkAccessManager network;
    EXPECT_EQ(fetch(network, server.url(QStringLiteral("/a")), false).error, QNetworkReply::SslHandshakeFailedError);
    EXPECT_TRUE(server.requests().isEmpty());
}

} // namespace
