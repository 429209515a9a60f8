#pragma once

#include <QKeySequence>
#include <QObject>

// A key combination that reaches the program from anywhere on the desktop, whichever window has
// the keyboard. A backend registers it with the window system (a key grab) or asks the desktop
// for it (a portal); where it cannot, its state says why, so the settings can tell the user.
class GlobalShortcut : public QObject {
    Q_OBJECT
public:
    enum class State {
        Unset, // no combination chosen
        Waiting, // asked for, the desktop has not answered yet
        Active, // pressing the combination anywhere reaches the program
        Taken, // another program holds the combination
        Refused, // this combination cannot be had here (a key the keyboard lacks, the desktop said no)
        Unsupported, // the desktop offers no global shortcuts to programs
    };

    using QObject::QObject;

    // The first combination of `keys` becomes the shortcut; an empty sequence releases it.
    virtual void setKeys(const QKeySequence &keys) = 0;
    virtual State state() const = 0;

Q_SIGNALS:
    // The combination was pressed.
    void activated();
    // After state() changed.
    void stateChanged();
};
