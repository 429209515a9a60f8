#include "integrations/docker/DockerContexts.h"

DockerContexts::DockerContexts(DockerCliConfig config, QObject *parent)
    : ListSuggestions(parent)
    , m_config(std::move(config))
{ }

void DockerContexts::setShown(bool shown)
{
    if (!shown)
        return;
    QStringList names = m_config.contextNames();
    if (names == m_names)
        return;
    m_names = std::move(names);
    Q_EMIT changed();
}
