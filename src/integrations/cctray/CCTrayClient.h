#pragma once

#include "core/CancelHandle.h"
#include "integrations/cctray/CCTrayFeedAddress.h"
#include "integrations/cctray/CCTrayProject.h"
#include "services/HttpValidators.h"

#include <QCoreApplication>
#include <QList>
#include <QPointer>
#include <QSslCertificate>

#include <functional>
#include <variant>

class QNetworkAccessManager;

// Why a feed could not be read. Its text never holds the address's query, a credential or what
// the server answered.
struct CCTrayFailure {
    Q_DECLARE_TR_FUNCTIONS(CCTrayFailure)

public:
    enum class Kind {
        Network, // no connection, or it broke off
        TimedOut, // nothing moved for the client's timeout
        Http, // a status outside 200 to 299 (304 to a conditional request is none)
        TooLarge, // the answer outgrew the client's bound
        Malformed, // no cctray document
        Redirected, // a redirect to another server, which is not followed
        WaitAsked, // 429 or 503 with Retry-After: `wait` seconds
    };
    Kind kind = Kind::Network;
    int status = 0; // for Http
    double wait = 0; // for WaitAsked

    // One short line in the user's language.
    QString text() const;

    friend bool operator==(const CCTrayFailure &, const CCTrayFailure &) = default;
};

// A feed as it answered: its projects, or that it has not changed since the validators sent.
struct CCTrayAnswer {
    bool unchanged = false;
    QList<CCTrayProject> projects;
    HttpValidators validators; // for the next request
};

// Reads cctray feeds over the application's network manager: a GET with the feed's credentials
// (a Basic authorization for a user name), conditional where validators are given, bounded in
// time and size. Redirects are followed on the feed's origin, and from http to https on the same
// host; a redirect to another server is refused, so credentials never leave their origin.
class CCTrayClient final {
public:
    struct Options {
        QList<QSslCertificate> extraTrustedCertificates; // tests: a local server's
        int transferTimeoutMs = 30000; // without a byte moving
        qint64 maximumBodySize = 4 * 1024 * 1024;
    };
    using Result = std::variant<CCTrayAnswer, CCTrayFailure>;
    using Done = std::function<void(const Result &)>;

    CCTrayClient(QNetworkAccessManager &network, Options options);

    // `done` runs later on the GUI thread, never inside this call, and not at all once cancelled.
    CancelHandle fetch(const CCTrayFeedAddress &feed, const CCTrayCredentials &credentials,
        const HttpValidators &validators, Done done) const;

private:
    struct Transfer;

    QPointer<QNetworkAccessManager> m_network;
    Options m_options;
};
