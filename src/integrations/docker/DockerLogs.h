#pragma once

#include <QByteArray>

// A container's output as the engine's log endpoint sends it.
namespace DockerLogs {

// The most of a log kept for showing: its end, from a line's start.
constexpr qsizetype maxBytes = 1024 * 1024;

// The output in order, stdout and stderr alike. For a container without a terminal the engine
// puts an 8-byte header before each piece (the stream: 0, 1 or 2; three zero bytes; the length,
// big-endian); with a terminal the bytes come raw. A cut-off last piece gives what it holds; a
// header that is none ends the decoding there. Longer than maxBytes, the end is kept. Output whose
// beginning was dropped (`cut`) is read from its first whole line, without a terminal from the
// first header from which the pieces run exactly to the end.
QByteArray decodeFrames(const QByteArray &bytes, bool tty, bool cut = false);

} // namespace DockerLogs
