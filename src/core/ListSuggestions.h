#pragma once

#include <QObject>
#include <QStringList>

// Names a list's pane offers to add with one click beside its field (an account's recently
// pushed repositories). They are asked for only while a pane shows them, so nothing is requested
// for a list nobody looks at; an answer that fails leaves no names.
class ListSuggestions : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // The names known now, best first; empty while unknown.
    virtual QStringList names() const = 0;
    // A pane showing the names came (true: asked for at once, and again whenever what they
    // depend on changes) or went.
    virtual void setShown(bool shown) = 0;

Q_SIGNALS:
    // After names() changed.
    void changed();
};
