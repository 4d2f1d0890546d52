#include "platform/conversions.h"

#include <QDate>
#include <QDateTime>
#include <QTime>
#include <cmath>
#include <limits>

#include "platform/platform_error.h"

namespace storyloom {

double roundHalfEven(double value) {
  return std::nearbyint(value);  // the default rounding mode: to nearest, ties to even
}

std::optional<double> numberFromText(const QString& text) {
  const QString t = text.trimmed();
  if (t.isEmpty()) return 0.0;
  if (t.startsWith(QLatin1String("&H"), Qt::CaseInsensitive) ||
      t.startsWith(QLatin1String("&O"), Qt::CaseInsensitive)) {
    bool ok = false;
    const qlonglong v = t.mid(2).toLongLong(&ok, t[1].toUpper() == 'H' ? 16 : 8);
    if (!ok) return std::nullopt;
    return static_cast<double>(v);
  }
  // Only plain decimal forms: digits, one point, an exponent; no locale, no "inf"/"nan".
  for (QChar c : t) {
    if (!(c.isDigit() || c == '.' || c == '-' || c == '+' || c == 'E' || c == 'e' || c == 'D' || c == 'd'))
      return std::nullopt;
  }
  QString normal = t;
  normal.replace(QLatin1Char('D'), QLatin1Char('E')).replace(QLatin1Char('d'), QLatin1Char('E'));
  bool ok = false;
  const double v = normal.toDouble(&ok);
  if (!ok || !std::isfinite(v)) return std::nullopt;
  return v;
}

std::optional<bool> booleanFromText(const QString& text) {
  const QString t = text.trimmed();
  if (t.compare(QLatin1String("#TRUE#"), Qt::CaseInsensitive) == 0 ||
      t.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
    return true;
  if (t.compare(QLatin1String("#FALSE#"), Qt::CaseInsensitive) == 0 ||
      t.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
    return false;
  return std::nullopt;
}

qint16 toInteger(double value) {
  const double r = roundHalfEven(value);
  if (!(r >= std::numeric_limits<qint16>::min() && r <= std::numeric_limits<qint16>::max()))
    throw PlatformError::overflow();
  return static_cast<qint16>(r);
}

qint32 toLong(double value) {
  const double r = roundHalfEven(value);
  if (!(r >= std::numeric_limits<qint32>::min() && r <= std::numeric_limits<qint32>::max()))
    throw PlatformError::overflow();
  return static_cast<qint32>(r);
}

float toSingle(double value) {
  if (!(std::fabs(value) <= std::numeric_limits<float>::max())) throw PlatformError::overflow();
  return static_cast<float>(value);
}

double numberOf(const QVariant& value) {
  if (!value.isValid()) return 0;
  switch (value.typeId()) {
    case QMetaType::Nullptr: throw PlatformError::invalidUseOfNull();
    case QMetaType::Bool: return value.toBool() ? -1 : 0;
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::UChar:
    case QMetaType::Float:
    case QMetaType::Double: return value.toDouble();
    case QMetaType::QString: {
      // Text in a Variant converts as the platform converts a string: a number, or the
      // words True and False; empty text and the file form "#TRUE#" are no number.
      const QString text = value.toString().trimmed();
      if (text.isEmpty() || text.startsWith('#')) throw PlatformError::typeMismatch();
      if (const auto b = booleanFromText(text)) return *b ? -1 : 0;
      if (const auto n = numberFromText(text)) return *n;
      throw PlatformError::typeMismatch();
    }
    default: throw PlatformError::typeMismatch();
  }
}

qint16 integerOf(const QVariant& value) { return toInteger(numberOf(value)); }
qint32 longOf(const QVariant& value) { return toLong(numberOf(value)); }
float singleOf(const QVariant& value) { return toSingle(numberOf(value)); }
bool booleanOf(const QVariant& value) { return numberOf(value) != 0; }

QString textOf(const QVariant& value) {
  if (!value.isValid() || value.typeId() == QMetaType::Nullptr) return {};
  switch (value.typeId()) {
    case QMetaType::Bool: return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    case QMetaType::Float:
    case QMetaType::Double: return QString::number(value.toDouble(), 'g', 15);
    default: return value.toString();
  }
}

QVariant variantFromBareText(const QString& t) {
  if (const auto b = booleanFromText(t); b && t.startsWith('#')) return *b;
  if (t.compare(QLatin1String("#NULL#"), Qt::CaseInsensitive) == 0) return QVariant::fromValue(nullptr);
  if (t.size() > 2 && t.startsWith('#') && t.endsWith('#')) {
    const QString inner = t.mid(1, t.size() - 2).trimmed();
    const QDateTime dt = QDateTime::fromString(inner, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    if (dt.isValid()) return dt;
    const QDate d = QDate::fromString(inner, QStringLiteral("yyyy-MM-dd"));
    if (d.isValid()) return d;
    const QTime tm = QTime::fromString(inner, QStringLiteral("HH:mm:ss"));
    if (tm.isValid()) return tm;
  }
  if (const auto v = numberFromText(t)) {
    if (*v == std::floor(*v) && std::fabs(*v) <= 2147483647.0) {
      if (*v >= -32768 && *v <= 32767) return static_cast<qint16>(*v);
      return static_cast<qint32>(*v);
    }
    return *v;
  }
  return t;
}

}  // namespace storyloom
