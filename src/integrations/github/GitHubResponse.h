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
};
