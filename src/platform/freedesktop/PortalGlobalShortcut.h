#pragma once

#include "platform/GlobalShortcut.h"

#include <QDBusConnection>
#include <QDBusObjectPath>
#include <QString>
#include <QVariantMap>

// A global shortcut asked of the desktop through the XDG desktop portal's GlobalShortcuts
// interface, as a Wayland session offers it (KDE Plasma does; GNOME 43 does not). Choosing a
// combination opens a portal session and binds one shortcut in it, with a description the desktop's
// own shortcut settings show and the combination as the preferred trigger; the desktop may ask the
// user first, and has the last word. A new combination closes the session and opens another.
// Without a portal, or a portal without the interface, the state is Unsupported.
class PortalGlobalShortcut final : public GlobalShortcut {
    Q_OBJECT
public:
    // `description` is what the desktop lists the shortcut as.
    PortalGlobalShortcut(
        QString description, QDBusConnection bus = QDBusConnection::sessionBus(), QObject *parent = nullptr);
    ~PortalGlobalShortcut() override;

    void setKeys(const QKeySequence &keys) override;
    State state() const override { return m_state; }

private Q_SLOTS:
    void response(uint code, const QVariantMap &results);
    void shortcutActivated(
        const QDBusObjectPath &session, const QString &id, qulonglong timestamp, const QVariantMap &options);

private:
    enum class Step { None, Creating, Binding };

    // Calls a portal method whose answer comes as a Response signal on a request object; the
    // signal is subscribed before the call, so a quick answer is not missed.
    void request(const QString &method, QList<QVariant> arguments, QVariantMap options, Step step);
    void bind();
    void closeSession();
    void setState(State state);

    QString m_description;
    QDBusConnection m_bus;
    QString m_trigger; // the combination wanted, in the portal's format
    QString m_session; // the open session's object path
    QString m_requestPath; // the request whose Response is awaited
    Step m_step = Step::None;
    State m_state = State::Unset;
    unsigned m_tokens = 0;
};
