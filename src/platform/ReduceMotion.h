#pragma once

#include <QObject>

// The user's desktop-wide wish for less motion (animations switched off).
class ReduceMotion : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    virtual bool isOn() const = 0;

Q_SIGNALS:
    void changed();
};
