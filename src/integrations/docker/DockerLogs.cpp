#include "integrations/docker/DockerLogs.h"

#include <QtEndian>

namespace {

constexpr qsizetype headerBytes = 8;

// The end of `text` within maxBytes, starting after a line break where there is one.
QByteArray lastPart(QByteArray text)
{
    if (text.size() <= DockerLogs::maxBytes)
        return text;
    text.remove(0, text.size() - DockerLogs::maxBytes);
    const qsizetype lineStart = text.indexOf('\n');
    if (lineStart >= 0)
        text.remove(0, lineStart + 1);
    return text;
}

} // namespace

QByteArray DockerLogs::decodeFrames(const QByteArray &bytes, bool tty)
{
    if (tty)
        return lastPart(bytes);
    QByteArray text;
    qsizetype at = 0;
    while (bytes.size() - at >= headerBytes) {
        const auto *header = reinterpret_cast<const uchar *>(bytes.constData() + at);
        if (header[0] > 2 || header[1] != 0 || header[2] != 0 || header[3] != 0)
            break;
        const quint32 length = qFromBigEndian<quint32>(header + 4);
        at += headerBytes;
        const qsizetype taken = std::min<qsizetype>(length, bytes.size() - at);
        text.append(bytes.constData() + at, taken);
        at += taken;
    }
    return lastPart(std::move(text));
}
