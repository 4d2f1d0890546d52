#include "platform/text_codec.h"

#include "platform/vbscript/value.h"

// The Windows-1252 table is the script engine's (which stays free of Qt); the program and
// the engine therefore agree on every character.
namespace storyloom {

QString decodeWindows1252(const char* data, qsizetype size) {
  QString out(size, Qt::Uninitialized);
  QChar* dst = out.data();
  for (qsizetype i = 0; i < size; ++i) dst[i] = QChar(vbs::fromWindows1252(static_cast<uint8_t>(data[i])));
  return out;
}

QString decodeWindows1252(const QByteArray& bytes) { return decodeWindows1252(bytes.constData(), bytes.size()); }

QByteArray encodeWindows1252(const QString& text) {
  QByteArray out;
  out.reserve(text.size());
  for (QChar ch : text) {
    const int byte = vbs::toWindows1252(ch.unicode());
    out.append(byte < 0 ? '?' : static_cast<char>(byte));
  }
  return out;
}

}  // namespace storyloom
