#pragma once

// Readable GoogleTest output for the Docker module's values.
#include "modules/docker/DockerError.h"

#include <ostream>

inline void PrintTo(const DockerError &error, std::ostream *os)
{
    *os << "DockerError{kind " << int(error.kind) << ", status " << error.status << ", \"" << error.detail.toStdString()
        << "\"}";
}
