#pragma once

#include "HttpsTestServer.h"

#include "integrations/gitlab/GitLabClient.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTest>

#include <algorithm>

#include <gtest/gtest.h>

// A local HTTPS server answering as GitLab's API v4 would, with the bodies the tests need, and a
// client endpoint that trusts it alone.
struct FakeGitLab {
    HttpsTestServer server;
    QNetworkAccessManager network;

    ApiTransport::Endpoint endpoint()
    {
        if (!server.isListening()) {
            EXPECT_TRUE(server.start());
        }
        ApiTransport::Endpoint endpoint;
        endpoint.apiRoot = server.url(QStringLiteral("/api/v4/"));
        endpoint.extraTrustedCertificates = { HttpsTestServer::certificate() };
        return endpoint;
    }

    // One pipeline as GitLab lists it.
    static QByteArray pipeline(int id, const QByteArray &status, const QByteArray &ref = "main")
    {
        return "{\"id\":" + QByteArray::number(id) + ",\"iid\":" + QByteArray::number(id - 100) + ",\"project_id\":7,"
            + "\"status\":\"" + status + "\",\"source\":\"push\",\"ref\":\"" + ref + "\",\"sha\":\"a1b2\","
            + "\"web_url\":\"https://gitlab.com/grp/sub/app/-/pipelines/" + QByteArray::number(id) + "\","
            + "\"created_at\":\"2026-12-08T08:00:00.125Z\",\"updated_at\":\"2026-12-08T08:05:00.500Z\"}";
    }
    static QByteArray list(const QList<QByteArray> &items) { return '[' + items.join(',') + ']'; }
    // One pending to-do as GitLab lists it.
    static QByteArray todo(int id, const QByteArray &action, const QByteArray &title)
    {
        return "{\"id\":" + QByteArray::number(id) + ",\"project\":{\"id\":7,\"path_with_namespace\":\"grp/sub/app\"},"
            + "\"author\":{\"name\":\"Ada\",\"username\":\"ada\"},\"action_name\":\"" + action + "\","
            + "\"target_type\":\"MergeRequest\",\"target\":{\"id\":3,\"iid\":3,\"title\":\"" + title + "\"},"
            + "\"target_url\":\"https://gitlab.com/grp/sub/app/-/merge_requests/3\",\"body\":\"" + title + "\","
            + "\"state\":\"pending\",\"created_at\":\"2026-12-08T09:00:00.000Z\"}";
    }
    static constexpr const char *project
        = R"({"id":7,"path_with_namespace":"grp/sub/app","default_branch":"main","web_url":"https://gitlab.com/grp/sub/app"})";

    // Until no transfer runs any more.
    void settle()
    {
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return std::ranges::none_of(network.findChildren<QNetworkReply *>(), &QNetworkReply::isRunning); },
            15000));
        QTest::qWait(1);
    }
    // The requests since the last call, as "<method> <path and query>".
    QStringList sent()
    {
        QStringList lines;
        for (const HttpsTestServer::Request &request : server.requests())
            lines.append(QString::fromUtf8(request.method + ' ' + request.target));
        server.clearRequests();
        return lines;
    }
};
