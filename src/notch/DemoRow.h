#pragma once

#include "core/Color.h"

#include <QString>
#include <QUuid>

// One row of the expanded overlay: a coloured dot with a title over a subtitle.
struct DemoRow {
    QUuid id = QUuid::createUuid();
    QString title;
    QString subtitle;
    Color color;

    friend bool operator==(const DemoRow &, const DemoRow &) = default;
};
