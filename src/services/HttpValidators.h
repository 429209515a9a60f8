#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>

// What a server sent to recognise an answer again: its ETag and Last-Modified. Sent back with the
// next request to the same address, they let the server answer 304 when nothing has changed.
struct HttpValidators {
    using Headers = QList<QPair<QByteArray, QByteArray>>;

    QByteArray etag;
    QByteArray lastModified;

    // The validators among an answer's headers (names compared without regard to case).
    static HttpValidators from(const Headers &headers)
    {
        HttpValidators validators;
        for (const auto &[name, value] : headers) {
            if (name.compare("ETag", Qt::CaseInsensitive) == 0)
                validators.etag = value;
            else if (name.compare("Last-Modified", Qt::CaseInsensitive) == 0)
                validators.lastModified = value;
        }
        return validators;
    }

    // The conditions for the next request: none when the answer came without validators.
    Headers conditions() const
    {
        Headers headers;
        if (!etag.isEmpty())
            headers.append({ QByteArrayLiteral("If-None-Match"), etag });
        if (!lastModified.isEmpty())
            headers.append({ QByteArrayLiteral("If-Modified-Since"), lastModified });
        return headers;
    }
};
