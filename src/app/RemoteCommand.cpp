#include "app/RemoteCommand.h"

#include "app/BusService.h"

#include <QCommandLineParser>
#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusServiceWatcher>

#include <cstdio>
#include <optional>

namespace {

const QString service = QString::fromLatin1(BusService::serviceName);
const QString path = QString::fromLatin1(BusService::objectPath);
const QString interface = QString::fromLatin1(BusService::interfaceName);
const QString propertiesInterface = QStringLiteral("org.freedesktop.DBus.Properties");

const QStringList commandOptions { QStringLiteral("toggle"), QStringLiteral("pin"), QStringLiteral("settings"),
    QStringLiteral("pause"), QStringLiteral("status"), QStringLiteral("json"), QStringLiteral("follow"),
    QStringLiteral("help"), QStringLiteral("version") };

void printError(const QString &line)
{
    std::fprintf(stderr, "%s\n", line.toLocal8Bit().constData());
}

void printLine(const QByteArray &line)
{
    std::fwrite(line.constData(), 1, size_t(line.size()), stdout);
    std::fputc('\n', stdout);
    // A bar reads line by line from a pipe: each line goes out as it is made.
    std::fflush(stdout);
}

QString notRunningText()
{
    return RemoteCommand::tr("Tarnlet läuft nicht.");
}

// One call to the running program; its failure already said on standard error.
std::optional<QDBusMessage> call(
    const QDBusConnection &bus, const QString &interfaceName, const QString &method, const QVariantList &arguments = {})
{
    QDBusMessage message = QDBusMessage::createMethodCall(service, path, interfaceName, method);
    message.setArguments(arguments);
    const QDBusMessage reply = bus.call(message);
    if (reply.type() == QDBusMessage::ReplyMessage)
        return reply;
    const QString error = reply.errorName();
    const bool absent = error == u"org.freedesktop.DBus.Error.ServiceUnknown"
        || error == u"org.freedesktop.DBus.Error.NameHasNoOwner" || !bus.isConnected();
    printError(absent ? notRunningText() : reply.errorMessage());
    return std::nullopt;
}

std::optional<QVariantMap> properties(const QDBusConnection &bus)
{
    const std::optional<QDBusMessage> reply = call(bus, propertiesInterface, QStringLiteral("GetAll"), { interface });
    if (!reply || reply->arguments().isEmpty())
        return std::nullopt;
    return qdbus_cast<QVariantMap>(reply->arguments().constFirst());
}

// Prints the status line once at start and again whenever the program announces a change that
// alters it; a program that ends or starts again is a change too. Nothing is polled.
class StatusFollower final : public QObject {
    Q_OBJECT
public:
    StatusFollower(const QDBusConnection &bus, bool json)
        : m_bus(bus)
        , m_json(json)
        , m_owner(service, bus, QDBusServiceWatcher::WatchForOwnerChange)
    {
        connect(&m_owner, &QDBusServiceWatcher::serviceOwnerChanged, this,
            [this](const QString &, const QString &, const QString &owner) {
                m_properties.clear();
                if (!owner.isEmpty())
                    read();
                print();
            });
        m_bus.connect(service, path, propertiesInterface, QStringLiteral("PropertiesChanged"), this,
            SLOT(propertiesChanged(QString, QVariantMap, QStringList)));
        read();
        print();
    }

private Q_SLOTS:
    void propertiesChanged(const QString &changedInterface, const QVariantMap &changed, const QStringList &)
    {
        if (changedInterface != interface || m_properties.isEmpty())
            return;
        m_properties.insert(changed);
        print();
    }

private:
    void read()
    {
        // Silent while no program runs: the line says so.
        QDBusMessage message
            = QDBusMessage::createMethodCall(service, path, propertiesInterface, QStringLiteral("GetAll"));
        message << interface;
        const QDBusMessage reply = m_bus.call(message);
        if (reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty())
            m_properties = qdbus_cast<QVariantMap>(reply.arguments().constFirst());
    }

    void print()
    {
        const StatusSnapshot snapshot = m_properties.isEmpty() ? StatusSnapshot::notRunning(notRunningText())
                                                               : StatusSnapshot::fromProperties(m_properties);
        const QByteArray line = m_json ? snapshot.toJson() : snapshot.toLine().toUtf8();
        if (line == m_printed)
            return;
        m_printed = line;
        printLine(line);
    }

    QDBusConnection m_bus;
    const bool m_json;
    QDBusServiceWatcher m_owner;
    QVariantMap m_properties; // empty while no program answers
    QByteArray m_printed;
};

} // namespace

bool RemoteCommand::isRequested(const QStringList &arguments)
{
    for (const QString &argument : arguments.mid(1)) {
        QStringView name(argument);
        while (name.startsWith(u'-'))
            name = name.mid(1);
        name = name.left(name.indexOf(u'='));
        if (argument.startsWith(u'-') && (commandOptions.contains(name) || name == u"h" || name == u"v"))
            return true;
    }
    return false;
}

int RemoteCommand::run(const QStringList &arguments, const QDBusConnection &bus)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(tr("Tarnlet zeigt den Stand von CI, Meldungen und Containern oben in der "
                                        "Bildschirmmitte. Ohne Optionen startet es; mit einer der Optionen spricht "
                                        "es mit dem laufenden Tarnlet."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption toggle(QStringLiteral("toggle"), tr("Öffnet und pinnt das Overlay, oder schließt es."));
    const QCommandLineOption pin(QStringLiteral("pin"), tr("Öffnet das Overlay und pinnt es."));
    const QCommandLineOption settings(
        QStringLiteral("settings"), tr("Öffnet die Einstellungen, mit BEREICH auf diesem Bereich (etwa notch)."));
    const QCommandLineOption pause(QStringLiteral("pause"),
        tr("Pausiert Meldungen für 1h, bis morning (8 Uhr) oder indefinitely (bis zum Fortsetzen); resume setzt "
           "fort."),
        QStringLiteral("1h|morning|indefinitely|resume"));
    const QCommandLineOption status(QStringLiteral("status"), tr("Gibt die Statuszeile aus."));
    const QCommandLineOption json(QStringLiteral("json"), tr("Mit --status: als JSON für waybar, i3status-rust."));
    const QCommandLineOption follow(
        QStringLiteral("follow"), tr("Mit --status: eine Zeile zu Beginn und eine nach jeder Änderung."));
    parser.addOptions({ toggle, pin, settings, pause, status, json, follow });
    parser.addPositionalArgument(tr("BEREICH"), tr("Der Bereich der Einstellungen, mit --settings."), tr("[BEREICH]"));
    if (!parser.parse(arguments)) {
        printError(parser.errorText());
        return 2;
    }
    if (parser.isSet(QStringLiteral("help")))
        parser.showHelp(0);
    if (parser.isSet(QStringLiteral("version")))
        parser.showVersion();

    const int actions = int(parser.isSet(toggle)) + int(parser.isSet(pin)) + int(parser.isSet(settings))
        + int(parser.isSet(pause)) + int(parser.isSet(status));
    const QStringList positional = parser.positionalArguments();
    if (actions != 1 || positional.size() > (parser.isSet(settings) ? 1 : 0)
        || ((parser.isSet(json) || parser.isSet(follow)) && !parser.isSet(status))) {
        printError(tr("Bitte genau einen Befehl angeben; tarnlet --help zeigt alle."));
        return 2;
    }

    if (parser.isSet(status)) {
        if (parser.isSet(follow)) {
            // Without a session bus no Tarnlet could ever be followed.
            if (!bus.isConnected()) {
                printError(notRunningText());
                return 1;
            }
            StatusFollower follower(bus, parser.isSet(json));
            return QCoreApplication::exec();
        }
        const std::optional<QVariantMap> read = properties(bus);
        if (!read)
            return 1;
        const StatusSnapshot snapshot = StatusSnapshot::fromProperties(*read);
        printLine(parser.isSet(json) ? snapshot.toJson() : snapshot.toLine().toUtf8());
        return 0;
    }
    std::optional<QDBusMessage> done;
    if (parser.isSet(toggle))
        done = call(bus, interface, QStringLiteral("Toggle"));
    else if (parser.isSet(pin))
        done = call(bus, interface, QStringLiteral("Pin"));
    else if (parser.isSet(settings))
        done = call(bus, interface, QStringLiteral("ShowSettings"), { positional.value(0) });
    else if (const QString length = parser.value(pause); length == u"resume")
        done = call(bus, interface, QStringLiteral("Resume"));
    else
        done = call(bus, interface, QStringLiteral("Pause"), { length });
    return done ? 0 : 1;
}

#include "RemoteCommand.moc"
