#pragma once

#include "core/ListSuggestions.h"
#include "integrations/docker/DockerCliConfig.h"

// The contexts the user's docker CLI knows, offered beside the field where engines are added.
// Read from the CLI's folder each time a pane shows them; nothing watches the folder meanwhile.
class DockerContexts final : public ListSuggestions {
    Q_OBJECT
public:
    explicit DockerContexts(DockerCliConfig config = DockerCliConfig(), QObject *parent = nullptr);

    QStringList names() const override { return m_names; }
    void setShown(bool shown) override;

private:
    DockerCliConfig m_config;
    QStringList m_names;
};
