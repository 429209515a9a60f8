#pragma once

#include "services/ApiCredentials.h"
#include "services/ApiTransport.h"
#include "services/JsonReader.h"

#include <QHash>
#include <QObject>

#include <any>
#include <functional>
#include <memory>
#include <optional>

// The answer to a poll: the value, whether the server said it is unchanged since the previous answer
// to the same request (a 304: the value is that answer's, kept), and the least pause the server asks
// for before the next poll, if it named one.
template<typename T> struct Polled {
    Polled(T v = T(), bool isUnchanged = false, std::optional<int> interval = std::nullopt)
        : value(std::move(v))
        , unchanged(isUnchanged)
        , pollInterval(interval)
    { }

    T value;
    bool unchanged = false;
    std::optional<int> pollInterval;
};

// GET requests on a transport with their bodies decoded strictly, and polls that are conditional:
// each sends the validators of the previous answer to the same request, and an answer 304 hands
// back that answer's value, marked unchanged, without decoding anything. The kept answers go as
// soon as the token changes or is removed. Copies share the kept answers.
class ApiPolls final {
public:
    template<typename T> using Callback = std::function<void(const ApiResult<T> &)>;
    // The pause an answer asks for before the next poll, where the service names one.
    using Interval = std::optional<int> (*)(const ApiResponse &);

    // Answers kept for `credentials`' token (none: an anonymous transport's).
    explicit ApiPolls(const ApiCredentials *credentials = nullptr)
    {
        if (!credentials)
            return;
        m_cache->tokenGeneration = credentials->tokenGeneration();
        // No answer outlives the token it was asked with.
        m_cache->followsCredentials = QObject::connect(
            credentials, &ApiCredentials::changed, [cache = std::weak_ptr<Cache>(m_cache), credentials] {
                const std::shared_ptr<Cache> kept = cache.lock();
                if (!kept || kept->tokenGeneration == credentials->tokenGeneration())
                    return;
                kept->answers.clear();
                kept->tokenGeneration = credentials->tokenGeneration();
            });
    }

    // `decode` as a result: the record, or the decode error naming the first key that failed.
    template<typename T, typename Decode, typename Input> static ApiResult<T> decoded(Decode decode, const Input &input)
    {
        try {
            return ApiResult<T>(decode(input));
        } catch (const JsonDecodeError &error) {
            return ApiError::decode(QString::fromUtf8(error.what()));
        }
    }

    // GET `path` and decode the body with `decode` (a function from bytes to a record that throws
    // JsonDecodeError on a body of the wrong shape).
    template<typename T, typename Decode>
    static CancelHandle get(const ApiTransport &transport, const QString &path, Decode decode, Callback<T> done)
    {
        return transport.get(path, [decode, done = std::move(done)](const ApiResult<ApiResponse> &answer) {
            if (!answer.isOk())
                return done(answer.error());
            done(decoded<T>(decode, answer.value().body));
        });
    }

    // GET `path` as a poll: conditional on the previous answer to the same path, when it was asked
    // with the token in use (or none) and decoded into the same `variant` (what a filtered answer
    // was kept for); a 304 hands back that answer's value. One answer is kept per path.
    template<typename T, typename Decode>
    CancelHandle poll(const ApiTransport &transport, const QString &path, const QString &variant, Decode decode,
        Callback<Polled<T>> done, Interval interval = nullptr) const
    {
        const quint64 generation = transport.tokenGeneration();
        const std::shared_ptr<Cache> cache = m_cache;
        HttpValidators validators;
        const auto kept = cache->answers.constFind(path);
        if (kept != cache->answers.cend() && cache->tokenGeneration == generation && kept->variant == variant)
            validators = kept->validators;
        const auto receive = [cache, path, variant, generation, decode, interval, done = std::move(done)](
                                 const ApiResult<ApiResponse> &answer) {
            if (!answer.isOk())
                return done(answer.error());
            const ApiResponse &response = answer.value();
            const std::optional<int> pause = interval ? interval(response) : std::nullopt;
            // An answer for a token since replaced is neither taken for unchanged nor kept.
            const bool sameToken = cache->tokenGeneration == generation;
            if (response.status == 304) {
                const Answer previous = sameToken ? cache->answers.value(path) : Answer();
                if (const T *value = std::any_cast<T>(&previous.value))
                    return done(Polled<T>(*value, true, pause));
                return done(ApiError::http(304));
            }
            const ApiResult<T> value = decoded<T>(decode, response.body);
            if (!value.isOk())
                return done(value.error());
            if (sameToken)
                cache->answers.insert(path, Answer { variant, HttpValidators::from(response.headers), value.value() });
            done(Polled<T>(value.value(), false, pause));
        };
        return transport.get(path, receive, validators);
    }

private:
    // The last answer to each poll, with the validators the server sent for it.
    struct Answer {
        QString variant;
        HttpValidators validators;
        std::any value;
    };
    // The answers asked with the token in use (another token's answer is never taken for
    // unchanged); they are dropped when the credentials' token changes or goes.
    struct Cache {
        QHash<QString, Answer> answers;
        quint64 tokenGeneration = 0;
        QMetaObject::Connection followsCredentials;

        ~Cache() { QObject::disconnect(followsCredentials); }
    };

    std::shared_ptr<Cache> m_cache = std::make_shared<Cache>();
};
