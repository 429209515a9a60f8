#pragma once

// What the fuzz targets share: the input as bytes without a copy (so that a read past its end
// shows), a decode that may refuse the input, and a property check that stops the run.
#include "services/JsonReader.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

inline QByteArray fuzzBytes(const uint8_t *data, size_t size)
{
    return QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
}

// Runs `decode`; a JsonDecodeError is the decoder refusing the input, which is fine. Anything
// else it throws ends the run as a finding.
template<typename Decode> void decodeOrRefuse(Decode decode)
{
    try {
        decode();
    } catch (const JsonDecodeError &) { }
}

// A broken property is a finding: libFuzzer saves the input once the program aborts.
inline void fuzzCheck(bool holds, const char *property)
{
    if (!holds) {
        std::fprintf(stderr, "property broken: %s\n", property);
        std::abort();
    }
}
