// A short MIDI tune for tests and benchmarks: one track of eight notes, 0.5 s each at the
// tempo of 120 beats a minute.
#pragma once

#include <QByteArray>

namespace storyloom::test {

inline QByteArray shortMidi() {
  QByteArray track = QByteArray::fromHex(
      "00ff510307a120"
      "00c047");
  for (int k = 0; k < 8; ++k) {
    track += QByteArray::fromHex("0090");
    track += char(60 + k), track += char(90);
    track += QByteArray::fromHex("6080");
    track += char(60 + k), track += char(0);
  }
  track += QByteArray::fromHex("00ff2f00");
  QByteArray b = QByteArray::fromHex("4d546864000000060000000100604d54726b");
  const quint32 n = static_cast<quint32>(track.size());
  for (int i = 3; i >= 0; --i) b += char(n >> (8 * i));
  return b + track;
}

}  // namespace storyloom::test
