#include "integrations/docker/DockerLogs.h"

#include <QtEndian>

#include <optional>
#include <vector>

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

// The piece's length when a header starts at `at`.
std::optional<quint32> pieceAt(const QByteArray &bytes, qsizetype at)
{
    const auto *header = reinterpret_cast<const uchar *>(bytes.constData() + at);
    if (bytes.size() - at < headerBytes || header[0] > 2 || header[1] != 0 || header[2] != 0 || header[3] != 0)
        return std::nullopt;
    return qFromBigEndian<quint32>(header + 4);
}

// Where the first whole piece of a cut output starts: the first place from which headers run
// exactly to the end, found walking back from the end.
qsizetype firstWholePiece(const QByteArray &bytes)
{
    std::vector<bool> runsToEnd(bytes.size() + 1, false);
    runsToEnd.back() = true;
    qsizetype first = bytes.size();
    for (qsizetype at = bytes.size() - headerBytes; at >= 0; --at) {
        const std::optional<quint32> length = pieceAt(bytes, at);
        const qsizetype next = length ? at + headerBytes + qsizetype(*length) : bytes.size() + 1;
        if (next <= bytes.size() && runsToEnd[next]) {
            runsToEnd[at] = true;
            first = at;
        }
    }
    return first;
}

} // namespace

QByteArray DockerLogs::decodeFrames(const QByteArray &bytes, bool tty, bool cut)
{
    if (tty)
        return lastPart(cut ? bytes.sliced(bytes.indexOf('\n') + 1) : bytes);
    QByteArray text;
    qsizetype at = cut ? firstWholePiece(bytes) : 0;
    while (const std::optional<quint32> length = pieceAt(bytes, at)) {
        at += headerBytes;
        const qsizetype taken = std::min<qsizetype>(*length, bytes.size() - at);
        text.append(bytes.constData() + at, taken);
        at += taken;
    }
    return lastPart(std::move(text));
}
