#pragma once

#include <QString>

// Why a call to a service's web API failed. No text ever holds the token or the contents of an answer.
class ApiError final {
public:
    enum class Kind {
        Http, // answered with a status outside 200 to 299
        MissingToken, // no token held: nothing was sent
        InvalidResponse, // the answer was not an HTTP response
        Transport, // connection failed, timed out or broke off
        Decode, // the body did not have the shape of the record
        Refused, // the address or a redirect led away from the API origin, an id is none the service issues, or
                 // the token cannot go into a header: nothing was sent there
        TooLarge, // the body outgrew the client's bound
        RateLimited, // the service asked to wait (a spent rate limit or Retry-After): nothing goes out meanwhile
    };

    static ApiError http(qint64 statusCode) { return ApiError(Kind::Http, statusCode); }
    static ApiError missingToken() { return ApiError(Kind::MissingToken); }
    static ApiError invalidResponse() { return ApiError(Kind::InvalidResponse); }
    // `code` is the network layer's error number, `detail` its description.
    static ApiError transport(qint64 code, const QString &detail) { return ApiError(Kind::Transport, code, detail); }
    // `detail` names the first key that failed and why (never the value).
    static ApiError decode(const QString &detail) { return ApiError(Kind::Decode, 0, detail); }
    static ApiError refused() { return ApiError(Kind::Refused); }
    static ApiError tooLarge() { return ApiError(Kind::TooLarge); }
    // For `seconds` from now on (a pause, not a time of day: the local clock may disagree with the server's).
    static ApiError rateLimited(qint64 seconds) { return ApiError(Kind::RateLimited, seconds); }

    Kind kind() const { return m_kind; }
    // The HTTP status for Http, the network error number for Transport, the wait in seconds for
    // RateLimited, otherwise 0.
    qint64 statusCode() const { return m_code; }
    QString detail() const { return m_detail; }
    // For RateLimited: the pause in seconds until the wait is over (at least one).
    double secondsToWait() const;
    // A short English description for diagnostics.
    QString description() const;

    friend bool operator==(const ApiError &, const ApiError &) = default;

private:
    explicit ApiError(Kind kind, qint64 code = 0, QString detail = {})
        : m_kind(kind)
        , m_code(code)
        , m_detail(std::move(detail))
    { }

    Kind m_kind;
    qint64 m_code;
    QString m_detail;
};
