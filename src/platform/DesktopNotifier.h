#pragma once

#include <QObject>
#include <QString>
#include <QUrl>

// The desktop's own notifications, shown by its notification service outside the program's
// windows. Whether a service is there may change while the program runs; it says so.
class DesktopNotifier : public QObject {
    Q_OBJECT
public:
    // How pressing a notification is: the notification service may show an urgent one longer or
    // over a full-screen window, a low one only in its list.
    enum class Urgency { Low, Normal, Critical };

    struct Notification {
        QString summary;
        QString body; // plain text
        QUrl page; // what clicking it opens; a newer one about the same page replaces it
        Urgency urgency = Urgency::Normal;
    };

    using QObject::QObject;

    virtual bool isAvailable() const = 0;
    // Shows `notification`; does nothing while no service is there.
    virtual void notify(const Notification &notification) = 0;

Q_SIGNALS:
    void availabilityChanged(bool available);
    // The user clicked one of our notifications that names a page.
    void activated(const QUrl &page);
};
