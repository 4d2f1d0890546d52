// A wave file of silence for tests and benchmarks: 8 kHz, 8 bits, mono, of the given length.
#pragma once

#include <QByteArray>

namespace storyloom::test {

// passOverChunk puts an empty LIST chunk between the format and the data, as some editors
// write it (a reader must pass over it).
inline QByteArray silentWave(int milliseconds, bool passOverChunk = false) {
  const quint32 n = 8 * static_cast<quint32>(milliseconds);
  QByteArray b("RIFF");
  auto le = [&b](quint32 v, int bytes) {
    for (int i = 0; i < bytes; ++i) b.append(char(v >> (8 * i)));
  };
  le(36 + n + (passOverChunk ? 12 : 0), 4);
  b.append("WAVEfmt ");
  le(16, 4), le(1, 2), le(1, 2), le(8000, 4), le(8000, 4), le(1, 2), le(8, 2);
  if (passOverChunk) {
    b.append("LIST");
    le(4, 4);
    b.append("INFO");
  }
  b.append("data");
  le(n, 4);
  b.append(QByteArray(static_cast<qsizetype>(n), char(128)));
  return b;
}

}  // namespace storyloom::test
