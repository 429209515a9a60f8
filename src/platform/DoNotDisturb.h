#pragma once

#include <QObject>

// The desktop's own "Do Not Disturb": while it is on, the user wants no interruptions.
class DoNotDisturb : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // Whether the desktop tells its Do Not Disturb at all; false where none of its sources is there.
    virtual bool isKnown() const = 0;
    virtual bool isOn() const = 0;

Q_SIGNALS:
    // After isOn() or isKnown() changed.
    void changed();
};
