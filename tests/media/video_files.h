#pragma once
#include <QByteArray>
#include <QFile>
#include <QString>

namespace storyloom::test {

// Small videos kept with the tests: short.avi (0.6 s, 48 x 32), long.avi (10 s, 32 x 24),
// both MJPEG in AVI; uncompressed.avi and wmv8.wmv (0.5 s, 32 x 24); broken.avi, an AVI
// header with nothing playable behind it.
inline QByteArray testVideo(const QString& name) {
  QFile f(QStringLiteral(STORYLOOM_TEST_DATA "/video/") + name);
  if (!f.open(QIODevice::ReadOnly)) return {};
  return f.readAll();
}

}  // namespace storyloom::test
