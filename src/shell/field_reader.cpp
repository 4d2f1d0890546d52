#include "shell/field_reader.h"

#include <QDate>
#include <QDateTime>
#include <QFile>
#include <QTime>
#include <algorithm>

#include "platform/conversions.h"
#include "platform/text_codec.h"

namespace storyloom {

FieldReader::FieldReader(QByteArray bytes) : buf_(std::move(bytes)), size_(buf_.size()) {}

FieldReader FieldReader::fromFile(const QString& hostPath) {
  auto file = std::make_shared<QFile>(hostPath);
  if (!file->open(QIODevice::ReadOnly)) throw PlatformError::fileNotFound();
  FieldReader reader;
  reader.size_ = file->size();
  reader.file_ = std::move(file);
  return reader;
}

void FieldReader::fill(qint64 p) {
  constexpr qint64 kBlock = 64 * 1024;
  if (!file_ || !file_->seek(p)) {
    size_ = std::min(size_, p);  // nothing more can be read: the stream ends here
    buf_.clear();
    bufStart_ = p;
    return;
  }
  buf_ = file_->read(kBlock);
  bufStart_ = p;
  if (buf_.isEmpty()) size_ = p;  // the file became shorter than it was
}

namespace {
bool isBlank(int c) { return c == ' ' || c == '\t'; }
bool isEndOfValue(int c) { return c == ',' || c == '\r' || c == '\n' || c < 0; }
}  // namespace

RawField::Kind FieldReader::scanValue(QByteArray* bytes) {
  if (atEnd()) throw PlatformError::pastEnd();
  qint64 p = pos_;
  while (isBlank(at(p))) ++p;
  RawField::Kind kind = RawField::Kind::Empty;
  if (at(p) == '"') {
    ++p;
    for (int c = at(p); c >= 0 && c != '"'; c = at(++p))
      if (bytes) bytes->append(static_cast<char>(c));
    kind = RawField::Kind::Text;
    if (at(p) == '"') ++p;             // closing quote
    while (!isEndOfValue(at(p))) ++p;  // anything after the quote is dropped
  } else {
    const qint64 start = p;
    qint64 last = p;  // after the last character that is not a blank
    for (int c = at(p); !isEndOfValue(c); c = at(++p)) {
      if (bytes) bytes->append(static_cast<char>(c));
      if (!isBlank(c)) last = p + 1;
    }
    if (bytes) bytes->truncate(last - start);  // blanks after the value are dropped
    if (last > start) kind = RawField::Kind::Bare;
  }
  // The comma or one line end (CR LF, LF or CR) that ends the value goes with it.
  const int end = at(p);
  if (end == ',' || end == '\n') {
    ++p;
  } else if (end == '\r') {
    ++p;
    if (at(p) == '\n') ++p;
  }
  pos_ = p;
  return kind;
}

RawField FieldReader::readRaw() {
  RawField field;
  QByteArray bytes;
  field.kind = scanValue(&bytes);
  field.text = decodeWindows1252(bytes);
  return field;
}

bool FieldReader::readIs(const QByteArray& windows1252Text) {
  QByteArray bytes;
  scanValue(&bytes);
  return bytes == windows1252Text;
}

double FieldReader::readNumber() {
  const RawField f = readRaw();
  if (f.kind == RawField::Kind::Empty) return 0;
  if (f.kind == RawField::Kind::Bare) {
    if (f.text.compare(QLatin1String("#TRUE#"), Qt::CaseInsensitive) == 0) return -1;
    if (f.text.compare(QLatin1String("#FALSE#"), Qt::CaseInsensitive) == 0) return 0;
  }
  if (const auto v = numberFromText(f.text)) return *v;
  throw PlatformError::typeMismatch();
}

QString FieldReader::readString() { return readRaw().text; }

qint16 FieldReader::readInteger() { return toInteger(readNumber()); }
qint32 FieldReader::readLong() { return toLong(readNumber()); }
float FieldReader::readSingle() { return toSingle(readNumber()); }
double FieldReader::readDouble() { return readNumber(); }

bool FieldReader::readBoolean() {
  const RawField f = readRaw();
  if (f.kind == RawField::Kind::Empty) return false;
  if (const auto b = booleanFromText(f.text)) return *b;
  if (const auto v = numberFromText(f.text)) return *v != 0;
  throw PlatformError::typeMismatch();
}

QVariant fieldToVariant(const RawField& f) {
  switch (f.kind) {
    case RawField::Kind::Empty: return {};
    case RawField::Kind::Text: return f.text;
    case RawField::Kind::Bare: break;
  }
  return variantFromBareText(f.text);
}

QVariant FieldReader::readVariant() { return fieldToVariant(readRaw()); }

void FieldReader::skip(int count) {
  for (int i = 0; i < count; ++i) scanValue(nullptr);
}

bool FieldReader::nextIs(const QString& text) {
  if (atEnd()) return false;
  const qint64 saved = pos_;
  const bool same = readIs(encodeWindows1252(text));
  pos_ = saved;
  return same;
}

void FieldWriter::separate() {
  if (lineStarted_) data_.append(',');
  lineStarted_ = true;
}

void FieldWriter::writeString(const QString& value) {
  separate();
  data_.append('"');
  QString clean = value;
  clean.replace(QLatin1Char('"'), QLatin1Char('|'));  // a quote cannot stand inside a text field
  data_.append(encodeWindows1252(clean));
  data_.append('"');
}

void FieldWriter::writeInteger(qint64 value) {
  separate();
  data_.append(QByteArray::number(value));
}

void FieldWriter::writeDouble(double value) {
  separate();
  QByteArray s = QByteArray::number(value, 'g', 15);
  s.replace("e", "E");
  // "1E+20" rather than "1E+020"-like forms: Qt already gives the short exponent.
  data_.append(s);
}

void FieldWriter::writeBoolean(bool value) {
  separate();
  data_.append(value ? "#TRUE#" : "#FALSE#");
}

void FieldWriter::writeVariant(const QVariant& value) {
  if (!value.isValid()) {
    separate();
    return;
  }
  switch (value.typeId()) {
    case QMetaType::Nullptr:
      separate();
      data_.append("#NULL#");
      return;
    case QMetaType::Bool: writeBoolean(value.toBool()); return;
    case QMetaType::Short:
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UChar: writeInteger(value.toLongLong()); return;
    case QMetaType::Float:
    case QMetaType::Double: writeDouble(value.toDouble()); return;
    case QMetaType::QDate:
      separate();
      data_.append('#' + value.toDate().toString(QStringLiteral("yyyy-MM-dd")).toLatin1() + '#');
      return;
    case QMetaType::QTime:
      separate();
      data_.append('#' + value.toTime().toString(QStringLiteral("HH:mm:ss")).toLatin1() + '#');
      return;
    case QMetaType::QDateTime:
      separate();
      data_.append('#' + value.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")).toLatin1() + '#');
      return;
    default: writeString(value.toString());
  }
}

void FieldWriter::endLine() {
  data_.append("\r\n");
  lineStarted_ = false;
}

bool FieldWriter::saveTo(const QString& hostPath) const {
  QFile file(hostPath);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
  return file.write(data_) == data_.size() && file.flush();
}

QString BarToQuote(const QString& text) {
  QString out = text;
  out.replace(QLatin1Char('|'), QLatin1Char('"'));
  return out;
}

}  // namespace storyloom
