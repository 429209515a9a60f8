#pragma once

#include <QString>

// Why a GitHub call failed. No text ever holds the token or the contents of an answer.
class GitHubError final {
public:
    enum class Kind {
        Http, // answered with a status outside 200 to 299
        MissingToken, // no token held: nothing was sent
        InvalidResponse, // the answer was not an HTTP response
        Transport, // connection failed, timed out or broke off
        Decode, // the body did not have the shape of the record
        Refused, // the address or a redirect led away from the API origin, an id is none GitHub issues, or
                 // the token cannot go into a header: nothing was sent there
        TooLarge, // the body outgrew the client's bound
        RateLimited, // GitHub asked to wait (a spent rate limit or Retry-After): nothing goes out meanwhile
    };

    static GitHubError http(qint64 statusCode) { return GitHubError(Kind::Http, statusCode); }
    static GitHubError missingToken() { return GitHubError(Kind::MissingToken); }
    static GitHubError invalidResponse() { return GitHubError(Kind::InvalidResponse); }
    // `code` is the network layer's error number, `detail` its description.
    static GitHubError transport(qint64 code, const QString &detail)
    {
        return GitHubError(Kind::Transport, code, detail);
    }
    // `detail` names the first key that failed and why (never the value).
    static GitHubError decode(const QString &detail) { return GitHubError(Kind::Decode, 0, detail); }
    static GitHubError refused() { return GitHubError(Kind::Refused); }
    static GitHubError tooLarge() { return GitHubError(Kind::TooLarge); }
    // For `seconds` from now on (a pause, not a time of day: the local clock may disagree with GitHub's).
    static GitHubError rateLimited(qint64 seconds) { return GitHubError(Kind::RateLimited, seconds); }

    Kind kind() const { return m_kind; }
    // The HTTP status for Http, the network error number for Transport, the wait in seconds for
    // RateLimited, otherwise 0.
    qint64 statusCode() const { return m_code; }
    QString detail() const { return m_detail; }
    // For RateLimited: the pause in seconds until the wait is over (at least one).
    double secondsToWait() const;
    // A short English description for diagnostics.
    QString description() const;

    friend bool operator==(const GitHubError &, const GitHubError &) = default;

private:
    explicit GitHubError(Kind kind, qint64 code = 0, QString detail = {})
        : m_kind(kind)
        , m_code(code)
        , m_detail(std::move(detail))
    { }

    Kind m_kind;
    qint64 m_code;
    QString m_detail;
};
