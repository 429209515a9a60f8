#include "integrations/docker/DockerCliConfig.h"

#include "core/PlainText.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

namespace {

// The JSON object in the file at `path`, or why not; `missing` is what a missing file means.
std::variant<QJsonObject, DockerCliConfig::Failure> readObject(const QString &path)
{
    QFile file(path);
    if (!file.exists())
        return DockerCliConfig::Failure { QCoreApplication::translate("DockerCliConfig", "%1 fehlt.").arg(path) };
    // A context's files are small; anything bigger is not one of them.
    constexpr qint64 largest = 1024 * 1024;
    if (!file.open(QIODevice::ReadOnly) || file.size() > largest)
        return DockerCliConfig::Failure {
            QCoreApplication::translate("DockerCliConfig", "%1 ist nicht lesbar.").arg(path)
        };
    QJsonParseError error {};
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return DockerCliConfig::Failure {
            QCoreApplication::translate("DockerCliConfig", "%1 ist kein gültiges JSON.").arg(path)
        };
    return document.object();
}

DockerCliConfig::Failure inContext(const QString &name, const QString &reason)
{
    return { QCoreApplication::translate("DockerCliConfig", "Kontext „%1“: %2").arg(PlainText::clean(name), reason) };
}

} // namespace

DockerCliConfig::Environment DockerCliConfig::Environment::fromProcess()
{
    const auto variable = [](const char *name) { return QString::fromLocal8Bit(qgetenv(name)); };
    Environment environment { variable("DOCKER_CONFIG"), variable("DOCKER_HOST"), variable("DOCKER_CONTEXT"),
        variable("DOCKER_CERT_PATH"), !qgetenv("DOCKER_TLS_VERIFY").isEmpty() };
    if (environment.configDir.isEmpty())
        environment.configDir = QDir::homePath() + QStringLiteral("/.docker");
    if (environment.certPath.isEmpty())
        environment.certPath = environment.configDir;
    return environment;
}

DockerCliConfig::DockerCliConfig(Environment environment)
    : m_environment(std::move(environment))
{ }

bool DockerCliConfig::isContextName(const QString &name)
{
    static const QRegularExpression rule(QStringLiteral("^[a-zA-Z0-9][a-zA-Z0-9_.+-]*$"));
    return rule.match(name).hasMatch();
}

QString DockerCliConfig::contextFolder(const char *kind, const QString &name) const
{
    const QByteArray digest = QCryptographicHash::hash(name.toUtf8(), QCryptographicHash::Sha256).toHex();
    return m_environment.configDir + QStringLiteral("/contexts/") + QString::fromLatin1(kind) + u'/'
        + QString::fromLatin1(digest);
}

DockerCliConfig::Answer<QString> DockerCliConfig::currentName() const
{
    if (!m_environment.context.isEmpty())
        return m_environment.context;
    const QString path = m_environment.configDir + QStringLiteral("/config.json");
    if (!QFileInfo::exists(path))
        return QString();
    auto config = readObject(path);
    if (const auto *failure = std::get_if<Failure>(&config))
        return *failure;
    const QJsonValue name = std::get<QJsonObject>(config).value(u"currentContext");
    if (!name.isUndefined() && !name.isString())
        return Failure {
            QCoreApplication::translate("DockerCliConfig", "%1: „currentContext“ ist kein Name.").arg(path)
        };
    return name.toString();
}

DockerCliConfig::Answer<std::optional<DockerEndpoint>> DockerCliConfig::current() const
{
    if (!m_environment.host.isEmpty()) {
        std::optional<DockerEndpoint::Tls> tls;
        if (m_environment.tlsVerify) {
            const QString folder = m_environment.certPath + u'/';
            tls = DockerEndpoint::Tls { folder + QStringLiteral("ca.pem"), folder + QStringLiteral("cert.pem"),
                folder + QStringLiteral("key.pem") };
            for (const QString &file : { tls->ca, tls->cert, tls->key }) {
                if (!QFileInfo(file).isReadable())
                    return Failure { QCoreApplication::translate(
                        "DockerCliConfig", "DOCKER_CERT_PATH: %1 fehlt oder ist nicht lesbar.")
                                         .arg(file) };
            }
        }
        auto endpoint = DockerEndpoint::parse(m_environment.host, std::move(tls));
        if (const auto *reason = std::get_if<QString>(&endpoint))
            return Failure { QStringLiteral("DOCKER_HOST: ") + *reason };
        return std::optional(std::get<DockerEndpoint>(endpoint));
    }
    const Answer<QString> name = currentName();
    if (const auto *failure = std::get_if<Failure>(&name))
        return *failure;
    if (std::get<QString>(name).isEmpty() || std::get<QString>(name) == QLatin1String(defaultContext))
        return std::optional<DockerEndpoint>();
    Answer<DockerEndpoint> endpoint = context(std::get<QString>(name));
    if (const auto *failure = std::get_if<Failure>(&endpoint))
        return *failure;
    return std::optional(std::get<DockerEndpoint>(endpoint));
}

DockerCliConfig::Answer<DockerEndpoint> DockerCliConfig::context(const QString &name) const
{
    if (!isContextName(name))
        return inContext(name, QCoreApplication::translate("DockerCliConfig", "kein gültiger Name."));
    auto meta = readObject(contextFolder("meta", name) + QStringLiteral("/meta.json"));
    if (const auto *failure = std::get_if<Failure>(&meta)) {
        if (!QFileInfo::exists(contextFolder("meta", name)))
            return inContext(
                name, QCoreApplication::translate("DockerCliConfig", "unbekannt (nicht in „docker context ls“)."));
        return inContext(name, failure->reason);
    }
    const QJsonValue host
        = std::get<QJsonObject>(meta).value(u"Endpoints").toObject().value(u"docker").toObject().value(u"Host");
    if (!host.isString())
        return inContext(name, QCoreApplication::translate("DockerCliConfig", "kein Docker-Endpunkt eingetragen."));
    // The CLI keeps a context's TLS files in a folder of their own; any of the three may be absent.
    const QString tlsFolder = contextFolder("tls", name) + QStringLiteral("/docker/");
    std::optional<DockerEndpoint::Tls> tls;
    if (QFileInfo::exists(tlsFolder)) {
        tls.emplace();
        for (auto [file, member] :
            { std::pair { "ca.pem", &DockerEndpoint::Tls::ca }, std::pair { "cert.pem", &DockerEndpoint::Tls::cert },
                std::pair { "key.pem", &DockerEndpoint::Tls::key } }) {
            const QString path = tlsFolder + QString::fromLatin1(file);
            if (!QFileInfo::exists(path))
                continue;
            if (!QFileInfo(path).isReadable() || !QFile(path).open(QIODevice::ReadOnly))
                return inContext(
                    name, QCoreApplication::translate("DockerCliConfig", "%1 ist nicht lesbar.").arg(path));
            (*tls).*member = path;
        }
    }
    auto endpoint = DockerEndpoint::parse(host.toString(), std::move(tls));
    if (const auto *reason = std::get_if<QString>(&endpoint))
        return inContext(name, *reason);
    return std::get<DockerEndpoint>(endpoint);
}

QStringList DockerCliConfig::contextNames() const
{
    QStringList names;
    const QDir meta(m_environment.configDir + QStringLiteral("/contexts/meta"));
    for (const QString &folder : meta.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const auto object = readObject(meta.filePath(folder) + QStringLiteral("/meta.json"));
        const bool noName = std::holds_alternative<Failure>(object);
        const QString name = noName ? QString() : std::get<QJsonObject>(object).value(u"Name").toString();
        if (isContextName(name) && name != QLatin1String(defaultContext))
            names.append(name);
    }
    names.sort(Qt::CaseInsensitive);
    return names;
}
