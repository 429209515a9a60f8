#include "app/BusService.h"

#include "app/AppDelegate.h"
#include "app/StatusSummary.h"
#include "notch/NotchController.h"
#include "notch/NotchModel.h"
#include "settings/SettingsWindowController.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>

#include <optional>

namespace {

std::optional<NewsGate::PauseLength> pauseLength(const QString &name)
{
    if (name == u"1h")
        return NewsGate::PauseLength::Hour;
    if (name == u"morning")
        return NewsGate::PauseLength::UntilMorning;
    if (name == u"indefinitely")
        return NewsGate::PauseLength::UntilResumed;
    return std::nullopt;
}

} // namespace

BusService::BusService(AppDelegate &app, QDBusConnection connection, QObject *parent)
    : QObject(parent)
    , m_app(app)
    , m_connection(std::move(connection))
    , m_shown(app.summary()->current())
{
    connect(app.summary(), &StatusSummary::changed, this, &BusService::follow);
}

BusService::~BusService()
{
    if (!m_published)
        return;
    m_connection.unregisterService(QString::fromLatin1(serviceName));
    m_connection.unregisterObject(QString::fromLatin1(objectPath));
}

bool BusService::publish()
{
    if (!m_connection.isConnected()
        || !m_connection.registerObject(QString::fromLatin1(objectPath), this,
            QDBusConnection::ExportScriptableSlots | QDBusConnection::ExportAllProperties))
        return false;
    // Not queued for the name: a second holder would wait for ever for a name it cannot use.
    m_published = m_connection.interface()->registerService(QString::fromLatin1(serviceName),
                      QDBusConnectionInterface::DontQueueService, QDBusConnectionInterface::DontAllowReplacement)
        == QDBusConnectionInterface::ServiceRegistered;
    if (!m_published)
        m_connection.unregisterObject(QString::fromLatin1(objectPath));
    return m_published;
}

void BusService::follow()
{
    const QVariantMap before = m_shown.toProperties();
    m_shown = m_app.summary()->current();
    QVariantMap changed = m_shown.toProperties();
    for (auto it = before.cbegin(); it != before.cend(); ++it) {
        if (changed.value(it.key()) == it.value())
            changed.remove(it.key());
    }
    if (changed.isEmpty() || !m_published)
        return;
    QDBusMessage signal = QDBusMessage::createSignal(QString::fromLatin1(objectPath),
        QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("PropertiesChanged"));
    signal << QString::fromLatin1(interfaceName) << changed << QStringList();
    m_connection.send(signal);
}

void BusService::Open()
{
    m_app.notch()->open(false);
}

void BusService::Pin()
{
    m_app.notch()->open(true);
}

void BusService::Close()
{
    m_app.notch()->close();
}

void BusService::Toggle()
{
    if (m_app.notch()->model().isExpanded())
        Close();
    else
        Pin();
}

void BusService::ShowSettings(const QString &pane)
{
    if (!pane.isEmpty() && !m_app.settings()->hasPane(pane))
        return sendErrorReply(
            QDBusError::InvalidArgs, tr("Keinen Bereich „%1“ in den Einstellungen gefunden.").arg(pane));
    m_app.settings()->show(pane);
}

void BusService::Pause(const QString &length)
{
    const std::optional<NewsGate::PauseLength> chosen = pauseLength(length);
    if (!chosen)
        return sendErrorReply(QDBusError::InvalidArgs,
            tr("Unbekannte Pause „%1“: möglich sind 1h, morning und indefinitely.").arg(length));
    m_app.news()->pause(*chosen);
}

void BusService::Resume()
{
    m_app.news()->resume();
}
