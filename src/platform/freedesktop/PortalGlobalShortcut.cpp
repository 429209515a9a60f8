#include "platform/freedesktop/PortalGlobalShortcut.h"

#include "platform/freedesktop/Portal.h"
#include "platform/freedesktop/XkbKeys.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

#include <algorithm>
#include <utility>

namespace {

const QString shortcutsInterface = QStringLiteral("org.freedesktop.portal.GlobalShortcuts");
const QString shortcutID = QStringLiteral("pin");

// One entry of the portal's shortcut list: its id and its properties, a(sa{sv}) on the bus.
struct PortalShortcut {
    QString id;
    QVariantMap properties;
};

QDBusArgument &operator<<(QDBusArgument &argument, const PortalShortcut &shortcut)
{
    argument.beginStructure();
    argument << shortcut.id << shortcut.properties;
    argument.endStructure();
    return argument;
}

const QDBusArgument &operator>>(const QDBusArgument &argument, PortalShortcut &shortcut)
{
    argument.beginStructure();
    argument >> shortcut.id >> shortcut.properties;
    argument.endStructure();
    return argument;
}

// The portal names its request objects after the caller's unique bus name: ":1.42" gives "1_42".
QString requestPath(const QDBusConnection &bus, const QString &token)
{
    QString sender = bus.baseService().mid(1);
    sender.replace(u'.', u'_');
    return Portal::path + QStringLiteral("/request/") + sender + u'/' + token;
}

} // namespace

Q_DECLARE_METATYPE(PortalShortcut)

PortalGlobalShortcut::PortalGlobalShortcut(QString description, QDBusConnection bus, QObject *parent)
    : GlobalShortcut(parent)
    , m_description(std::move(description))
    , m_bus(bus)
{
    qDBusRegisterMetaType<PortalShortcut>();
    qDBusRegisterMetaType<QList<PortalShortcut>>();
    if (m_bus.isConnected())
        m_bus.connect(QString(), Portal::path, shortcutsInterface, QStringLiteral("Activated"), this,
            SLOT(shortcutActivated(QDBusObjectPath, QString, qulonglong, QVariantMap)));
}

PortalGlobalShortcut::~PortalGlobalShortcut()
{
    closeSession();
}

void PortalGlobalShortcut::setKeys(const QKeySequence &keys)
{
    closeSession();
    m_trigger = keys.isEmpty() ? QString() : XkbKeys::shortcutTrigger(keys[0]);
    if (keys.isEmpty())
        return setState(State::Unset);
    if (m_trigger.isEmpty())
        return setState(State::Refused);
    if (!m_bus.isConnected())
        return setState(State::Unsupported);
    setState(State::Waiting);
    request(QStringLiteral("CreateSession"), {},
        { { QStringLiteral("session_handle_token"), QStringLiteral("tarnlet%1").arg(++m_tokens) } }, Step::Creating);
}

void PortalGlobalShortcut::request(const QString &method, QList<QVariant> arguments, QVariantMap options, Step step)
{
    const QString token = QStringLiteral("tarnlet%1").arg(++m_tokens);
    options.insert(QStringLiteral("handle_token"), token);
    m_requestPath = requestPath(m_bus, token);
    m_step = step;
    m_bus.connect(Portal::service, m_requestPath, QStringLiteral("org.freedesktop.portal.Request"),
        QStringLiteral("Response"), this, SLOT(response(uint, QVariantMap)));
    QDBusMessage call = QDBusMessage::createMethodCall(Portal::service, Portal::path, shortcutsInterface, method);
    call.setArguments(arguments << options);
    auto *watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
        [this, path = m_requestPath, step](QDBusPendingCallWatcher *done) {
            done->deleteLater();
            if (path != m_requestPath)
                return; // a later request replaced it
            if (QDBusPendingReply<QDBusObjectPath>(*done).isError()) {
                // No portal, or one without global shortcuts; a refused binding is this combination's.
                m_step = Step::None;
                setState(step == Step::Creating ? State::Unsupported : State::Refused);
            }
        });
}

void PortalGlobalShortcut::response(uint code, const QVariantMap &results)
{
    const Step step = std::exchange(m_step, Step::None);
    m_bus.disconnect(Portal::service, m_requestPath, QStringLiteral("org.freedesktop.portal.Request"),
        QStringLiteral("Response"), this, SLOT(response(uint, QVariantMap)));
    m_requestPath.clear();
    // 0 is success; 1 means the user cancelled, 2 that the desktop ended the request otherwise.
    if (code != 0)
        return setState(State::Refused);
    if (step == Step::Creating) {
        const QVariant session = results.value(QStringLiteral("session_handle"));
        m_session
            = session.canConvert<QDBusObjectPath>() ? session.value<QDBusObjectPath>().path() : session.toString();
        return bind();
    }
    if (step != Step::Binding)
        return;
    // The shortcuts the desktop granted, as it keeps them (the user may have chosen other keys).
    QList<PortalShortcut> granted;
    results.value(QStringLiteral("shortcuts")).value<QDBusArgument>() >> granted;
    const bool ours = std::any_of(
        granted.cbegin(), granted.cend(), [](const PortalShortcut &shortcut) { return shortcut.id == shortcutID; });
    setState(ours ? State::Active : State::Refused);
}

void PortalGlobalShortcut::bind()
{
    const QList<PortalShortcut> shortcuts { { shortcutID,
        { { QStringLiteral("description"), m_description }, { QStringLiteral("preferred_trigger"), m_trigger } } } };
    request(QStringLiteral("BindShortcuts"),
        { QVariant::fromValue(QDBusObjectPath(m_session)), QVariant::fromValue(shortcuts), QString() }, {},
        Step::Binding);
}

void PortalGlobalShortcut::shortcutActivated(
    const QDBusObjectPath &session, const QString &id, qulonglong, const QVariantMap &)
{
    if (!m_session.isEmpty() && session.path() == m_session && id == shortcutID && m_state == State::Active)
        Q_EMIT activated();
}

void PortalGlobalShortcut::closeSession()
{
    if (!m_requestPath.isEmpty())
        m_bus.disconnect(Portal::service, m_requestPath, QStringLiteral("org.freedesktop.portal.Request"),
            QStringLiteral("Response"), this, SLOT(response(uint, QVariantMap)));
    m_requestPath.clear();
    m_step = Step::None;
    if (m_session.isEmpty())
        return;
    m_bus.asyncCall(QDBusMessage::createMethodCall(Portal::service, std::exchange(m_session, QString()),
        QStringLiteral("org.freedesktop.portal.Session"), QStringLiteral("Close")));
}

void PortalGlobalShortcut::setState(State state)
{
    if (std::exchange(m_state, state) != state)
        Q_EMIT stateChanged();
}
