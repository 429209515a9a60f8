#pragma once

#include <QObject>
#include <QString>

class QMenu;

// The program's entry in the desktop's status area (system tray): a symbol image with a menu.
// Clicking the item shows the menu. The item picks the symbol's colour to suit the panel it sits in.
class StatusItem : public QObject {
    Q_OBJECT
public:
    // What a small dot on the symbol says: nothing to see, work under way (orange), a failure (red).
    enum class Attention { None, Active, Failure };

    using QObject::QObject;

    // Whether the desktop offers a status area at this moment. An item shown without one appears
    // by itself once a status area turns up; availabilityChanged() tells when that may have changed.
    virtual bool isAvailable() const = 0;
    // A name of SymbolImage and the text assistive tools read for it.
    virtual void setSymbol(const QString &symbolName, const QString &accessibleDescription) = 0;
    // The menu stays owned by the caller and must outlive the item's use of it.
    virtual void setMenu(QMenu *menu) = 0;
    // The text shown when the pointer rests on the item, and the dot on its symbol.
    virtual void setStatus(const QString &toolTip, Attention attention) = 0;
    virtual void show() = 0;

Q_SIGNALS:
    // A status area turned up or went away.
    void availabilityChanged();
};
