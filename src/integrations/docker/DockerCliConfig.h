#pragma once

#include "integrations/docker/DockerEndpoint.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <variant>

// What the user's docker CLI reads to pick its engine: DOCKER_HOST (with DOCKER_TLS_VERIFY and
// DOCKER_CERT_PATH), DOCKER_CONTEXT, and the contexts in its configuration folder (~/.docker, or
// DOCKER_CONFIG). Read afresh at every question, so a context switched in a terminal is followed
// at the next read. Certificates and keys stay where the CLI keeps them; only their paths are used.
class DockerCliConfig final {
public:
    struct Environment {
        QString configDir;
        QString host = {}; // DOCKER_HOST
        QString context = {}; // DOCKER_CONTEXT
        QString certPath = {}; // DOCKER_CERT_PATH, else the configuration folder
        bool tlsVerify = false; // DOCKER_TLS_VERIFY set to anything
        // From this process's environment and home folder.
        static Environment fromProcess();
    };
    // Why there is no answer (naming the file or the context), in the user's language.
    struct Failure {
        QString reason;
    };
    template<typename T> using Answer = std::variant<T, Failure>;

    // The CLI's name for the engine it reaches when no context is chosen.
    static constexpr auto defaultContext = "default";

    explicit DockerCliConfig(Environment environment = Environment::fromProcess());

    // The engine the CLI uses now: DOCKER_HOST, else the current context's; none for the default
    // context, where the usual sockets are searched.
    Answer<std::optional<DockerEndpoint>> current() const;
    // The engine of the context called `name`.
    Answer<DockerEndpoint> context(const QString &name) const;
    // The contexts the CLI knows besides the default one, sorted by name; none when unreadable.
    QStringList contextNames() const;
    // Whether `name` may name a context, by the CLI's rule.
    static bool isContextName(const QString &name);

private:
    // The current context's name from DOCKER_CONTEXT or config.json, empty for the default one.
    Answer<QString> currentName() const;
    QString contextFolder(const char *kind, const QString &name) const;

    Environment m_environment;
};
