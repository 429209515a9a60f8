#pragma once

#include "integrations/github/WorkflowRun.h"

#include <QStringList>

// A run of "o/r" from "name branch status conclusion minute [head repository]" ("-" for none),
// created that many minutes into the day (a later minute is a newer run) and updated half a minute
// later, with its own id unless one is given. Its commit comes from "o/r" unless another is named.
inline WorkflowRun run(const char *words, qint64 id = 0)
{
    static qint64 next = 100;
    const QStringList w = QString::fromLatin1(words).split(u' ');
    const auto word
        = [&](int i) { return w.value(i, QStringLiteral("-")) == u"-" ? std::nullopt : std::optional(w.value(i)); };
    WorkflowRun r { id ? id : ++next, word(0), word(1), word(2), word(3), {}, {}, {}, {}, {}, {} };
    r.createdAt = QDateTime(QDate(2026, 12, 8), QTime(0, 0), Qt::UTC).addSecs(60 * w.value(4).toInt());
    r.updatedAt = r.createdAt.addSecs(30);
    r.htmlURL = QUrl(QStringLiteral("https://github.com/o/r/actions/runs/%1").arg(r.id));
    r.repository = QStringLiteral("o/r");
    r.headRepository = w.value(5, *r.repository);
    return r;
}
