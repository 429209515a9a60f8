#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>

#include <optional>

// A successful answer of a web API: its status, body and headers (validators, limits and what the
// service says of the token travel in headers).
struct ApiResponse {
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
