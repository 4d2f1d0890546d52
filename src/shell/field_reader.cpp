#include "shell/field_reader.h"

#include <QDate>
#include <QDateTime>
#include <QFile>
#include <QTime>
#include <algorithm>
#include <cmath>
#include <limits>

#include "platform/text_codec.h"

namespace storyloom {

FieldReadError::FieldReadError(int number, const QString& description)
    : std::runtime_error(description.toStdString()), number_(number), description_(description) {}

FieldReadError FieldReadError::pastEnd() { return {62, QStringLiteral("Input past end of file")}; }
FieldReadError FieldReadError::typeMismatch() { return {13, QStringLiteral("Type mismatch")}; }
FieldReadError FieldReadError::overflow() { return {6, QStringLiteral("Overflow")}; }
FieldReadError FieldReadError::fileNotFound() { return {53, QStringLiteral("File not found")}; }

FieldReader::FieldReader(QByteArray bytes) : buf_(std::move(bytes)), size_(buf_.size()) {}

FieldReader FieldReader::fromFile(const QString& hostPath) {
  auto file = std::make_shared<QFile>(hostPath);
  if (!file->open(QIODevice::ReadOnly)) throw FieldReadError::fileNotFound();
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

RawField FieldReader::readRaw() {
  if (atEnd()) throw FieldReadError::pastEnd();
  qint64 p = pos_;
  while (isBlank(at(p))) ++p;
  RawField field;
  QByteArray bytes;
  if (at(p) == '"') {
    ++p;
    for (int c = at(p); c >= 0 && c != '"'; c = at(++p)) bytes.append(static_cast<char>(c));
    field.kind = RawField::Kind::Text;
    if (at(p) == '"') ++p;  // closing quote
    while (!isEndOfValue(at(p))) ++p;  // anything after the quote is dropped
  } else {
    for (int c = at(p); !isEndOfValue(c); c = at(++p)) bytes.append(static_cast<char>(c));
    while (!bytes.isEmpty() && isBlank(bytes.back())) bytes.chop(1);
    if (!bytes.isEmpty()) field.kind = RawField::Kind::Bare;
  }
  field.text = decodeWindows1252(bytes);
  // The comma or one line end (CR LF, LF or CR) that ends the value goes with it.
  const int end = at(p);
  if (end == ',' || end == '\n') {
    ++p;
  } else if (end == '\r') {
    ++p;
    if (at(p) == '\n') ++p;
  }
  pos_ = p;
  return field;
}

double roundHalfEven(double value) {
  const double r = std::nearbyint(value);  // default rounding mode: to nearest, ties to even
  return r;
}

bool parseFieldNumber(const QString& text, double* out) {
  const QString t = text.trimmed();
  if (t.isEmpty()) {
    *out = 0;
    return true;
  }
  if (t.startsWith(QLatin1String("&H"), Qt::CaseInsensitive) ||
      t.startsWith(QLatin1String("&O"), Qt::CaseInsensitive)) {
    bool ok = false;
    const qlonglong v = t.mid(2).toLongLong(&ok, t[1].toUpper() == 'H' ? 16 : 8);
    if (!ok) return false;
    *out = static_cast<double>(v);
    return true;
  }
  // Only plain decimal forms: digits, one point, an exponent; no locale, no "inf"/"nan".
  for (QChar c : t) {
    if (!(c.isDigit() || c == '.' || c == '-' || c == '+' || c == 'E' || c == 'e' || c == 'D' ||
          c == 'd'))
      return false;
  }
  QString normal = t;
  normal.replace(QLatin1Char('D'), QLatin1Char('E')).replace(QLatin1Char('d'), QLatin1Char('E'));
  bool ok = false;
  const double v = normal.toDouble(&ok);
  if (!ok || !std::isfinite(v)) return false;
  *out = v;
  return true;
}

double FieldReader::readNumber() {
  const RawField f = readRaw();
  if (f.kind == RawField::Kind::Empty) return 0;
  if (f.kind == RawField::Kind::Bare) {
    if (f.text.compare(QLatin1String("#TRUE#"), Qt::CaseInsensitive) == 0) return -1;
    if (f.text.compare(QLatin1String("#FALSE#"), Qt::CaseInsensitive) == 0) return 0;
  }
  double v = 0;
  if (!parseFieldNumber(f.text, &v)) throw FieldReadError::typeMismatch();
  return v;
}

QString FieldReader::readString() { return readRaw().text; }

qint16 FieldReader::readInteger() {
  const double v = roundHalfEven(readNumber());
  if (v < std::numeric_limits<qint16>::min() || v > std::numeric_limits<qint16>::max())
    throw FieldReadError::overflow();
  return static_cast<qint16>(v);
}

qint32 FieldReader::readLong() {
  const double v = roundHalfEven(readNumber());
  if (v < std::numeric_limits<qint32>::min() || v > std::numeric_limits<qint32>::max())
    throw FieldReadError::overflow();
  return static_cast<qint32>(v);
}

float FieldReader::readSingle() {
  const double v = readNumber();
  if (std::fabs(v) > std::numeric_limits<float>::max()) throw FieldReadError::overflow();
  return static_cast<float>(v);
}

double FieldReader::readDouble() { return readNumber(); }

bool FieldReader::readBoolean() {
  const RawField f = readRaw();
  if (f.kind == RawField::Kind::Empty) return false;
  const QString t = f.text.trimmed();
  if (t.compare(QLatin1String("#TRUE#"), Qt::CaseInsensitive) == 0 ||
      t.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
    return true;
  if (t.compare(QLatin1String("#FALSE#"), Qt::CaseInsensitive) == 0 ||
      t.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
    return false;
  double v = 0;
  if (!parseFieldNumber(t, &v)) throw FieldReadError::typeMismatch();
  return v != 0;
}

QVariant fieldToVariant(const RawField& f) {
  switch (f.kind) {
    case RawField::Kind::Empty:
      return {};
    case RawField::Kind::Text:
      return f.text;
    case RawField::Kind::Bare:
      break;
  }
  const QString& t = f.text;
  if (t.compare(QLatin1String("#TRUE#"), Qt::CaseInsensitive) == 0) return true;
  if (t.compare(QLatin1String("#FALSE#"), Qt::CaseInsensitive) == 0) return false;
  if (t.compare(QLatin1String("#NULL#"), Qt::CaseInsensitive) == 0)
    return QVariant::fromValue(nullptr);
  if (t.size() > 2 && t.startsWith('#') && t.endsWith('#')) {
    const QString inner = t.mid(1, t.size() - 2).trimmed();
    const QDateTime dt = QDateTime::fromString(inner, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    if (dt.isValid()) return dt;
    const QDate d = QDate::fromString(inner, QStringLiteral("yyyy-MM-dd"));
    if (d.isValid()) return d;
    const QTime tm = QTime::fromString(inner, QStringLiteral("HH:mm:ss"));
    if (tm.isValid()) return tm;
  }
  double v = 0;
  if (parseFieldNumber(t, &v)) {
    if (v == std::floor(v) && std::fabs(v) <= 2147483647.0) {
      if (v >= -32768 && v <= 32767) return static_cast<qint16>(v);
      return static_cast<qint32>(v);
    }
    return v;
  }
  return t;
}

QVariant FieldReader::readVariant() { return fieldToVariant(readRaw()); }

void FieldReader::skip(int count) {
  for (int i = 0; i < count; ++i) readRaw();
}

bool FieldReader::nextIs(const QString& text) {
  if (atEnd()) return false;
  const qsizetype saved = pos_;
  const RawField f = readRaw();
  pos_ = saved;
  return f.text == text;
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
    case QMetaType::Bool:
      writeBoolean(value.toBool());
      return;
    case QMetaType::Short:
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UChar:
      writeInteger(value.toLongLong());
      return;
    case QMetaType::Float:
    case QMetaType::Double:
      writeDouble(value.toDouble());
      return;
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
      data_.append('#' +
                   value.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")).toLatin1() +
                   '#');
      return;
    default:
      writeString(value.toString());
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
