#include "platform/text_codec.h"

#include <array>

namespace storyloom {
namespace {

// 0x80..0x9F of Windows-1252; 0 marks the five unassigned bytes, which decode as themselves.
constexpr std::array<char16_t, 32> kHigh = {
    0x20AC, 0, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0, 0x017D, 0, 0, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0, 0x017E, 0x0178};

}  // namespace

QString decodeWindows1252(const char* data, qsizetype size) {
  QString out(size, Qt::Uninitialized);
  QChar* dst = out.data();
  for (qsizetype i = 0; i < size; ++i) {
    const auto b = static_cast<unsigned char>(data[i]);
    char16_t c = b;
    if (b >= 0x80 && b <= 0x9F && kHigh[b - 0x80] != 0) c = kHigh[b - 0x80];
    dst[i] = QChar(c);
  }
  return out;
}

QString decodeWindows1252(const QByteArray& bytes) {
  return decodeWindows1252(bytes.constData(), bytes.size());
}

QByteArray encodeWindows1252(const QString& text) {
  QByteArray out;
  out.reserve(text.size());
  for (QChar ch : text) {
    const char16_t c = ch.unicode();
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
      out.append(static_cast<char>(c));
      continue;
    }
    char byte = '?';
    for (int i = 0; i < 32; ++i) {
      if (kHigh[i] == c || (kHigh[i] == 0 && c == 0x80 + i)) {
        byte = static_cast<char>(0x80 + i);
        break;
      }
    }
    out.append(byte);
  }
  return out;
}

}  // namespace storyloom
