#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>

#include <optional>

// A successful GitHub answer: its status, body and headers (the scopes, validators and limits
// GitHub sends travel in headers).
struct GitHubResponse {
    int status = 200;
    QByteArray body;
    QList<QPair<QByteArray, QByteArray>> headers;

    // The first header of that name (compared without regard to case), or none.
    std::optional<QByteArray> header(const QByteArray &name) const
    {
        for (const auto &[key, value] : headers) {
            if (key.compare(name, Qt::CaseInsensitive) == 0)
                return value;
        }
        return std::nullopt;
    }

    // The whole number in the first header of that name, or none when it is missing or holds none.
    std::optional<qint64> number(const QByteArray &name) const
    {
        bool ok = false;
        const qint64 value = header(name).value_or(QByteArray()).trimmed().toLongLong(&ok);
        return ok ? std::optional(value) : std::nullopt;
    }
};
