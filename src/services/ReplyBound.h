#pragma once

#include "core/CancelHandle.h"

#include <QNetworkReply>
#include <QPointer>

#include <memory>

// Ties a reply in flight to the handle that may drop it, and aborts the reply once its body grows
// past `bound` bytes or says it will. The flag tells the reply's end that it was cut.
inline std::shared_ptr<bool> boundReply(QNetworkReply *reply, CancelHandle &request, qint64 bound)
{
    request.setOnCancel([guard = QPointer<QNetworkReply>(reply)] {
        if (guard)
            guard->abort();
    });
    auto tooLarge = std::make_shared<bool>(false);
    QObject::connect(
        reply, &QNetworkReply::downloadProgress, reply, [reply, tooLarge, bound](qint64 got, qint64 total) {
            if (!*tooLarge && (got > bound || total > bound)) {
                *tooLarge = true;
                reply->abort();
            }
        });
    return tooLarge;
}
