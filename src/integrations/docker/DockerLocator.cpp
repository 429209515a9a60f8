#include "integrations/docker/DockerLocator.h"

#include "integrations/docker/DockerLogging.h"

#include <QCoreApplication>

DockerClient::Locate DockerLocator::cli(DockerCliConfig config, QString context, QStringList candidates, SshRoute ssh)
{
    using Target = DockerClient::Target;
    return [config = std::move(config), context = std::move(context), search = DockerClient::searchSockets(candidates),
               ssh = std::move(ssh)]() -> std::variant<Target, DockerError> {
        DockerCliConfig::Answer<std::optional<DockerEndpoint>> found = std::optional<DockerEndpoint>();
        if (context.isEmpty())
            found = config.current();
        else if (auto named = config.context(context);
                 const auto *failure = std::get_if<DockerCliConfig::Failure>(&named))
            found = *failure;
        else
            found = std::optional(std::get<DockerEndpoint>(named));
        if (const auto *failure = std::get_if<DockerCliConfig::Failure>(&found)) {
            qCDebug(lcDocker) << "no engine address:" << failure->reason;
            return DockerError::unusable(failure->reason);
        }
        const std::optional<DockerEndpoint> &endpoint = std::get<std::optional<DockerEndpoint>>(found);
        if (!endpoint)
            return search();
        const QString name = context.isEmpty() ? QStringLiteral("Docker") : context;
        if (endpoint->kind != DockerEndpoint::Kind::Ssh)
            return Target { endpoint->kind == DockerEndpoint::Kind::Unix && context.isEmpty()
                    ? DockerClient::engineName(endpoint->address)
                    : name,
                *endpoint };
        if (!ssh)
            return DockerError::unusable(QCoreApplication::translate("DockerLocator", "SSH ist hier nicht verfügbar."));
        const std::variant<QString, DockerError> route = ssh(*endpoint);
        if (const auto *error = std::get_if<DockerError>(&route))
            return *error;
        return Target { name, DockerEndpoint::unixSocket(std::get<QString>(route)), endpoint->display() };
    };
}
