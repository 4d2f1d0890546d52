#include "hotspots/record_fields.h"

#include <cmath>
#include <limits>

namespace storyloom {

bool IsSeparatorNext(FieldReader& file) {
  if (file.atEnd()) return true;
  return file.nextIs(RecordSeparator());
}

void SkipToSeparator(FieldReader& file) {
  while (!file.atEnd()) {
    if (file.readRaw().text == RecordSeparator()) return;
  }
}

double VarNumber(const QVariant& value) {
  if (!value.isValid()) return 0;
  switch (value.typeId()) {
    case QMetaType::Bool:
      return value.toBool() ? -1 : 0;
    case QMetaType::Short:
    case QMetaType::Int:
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::LongLong:
      return value.toDouble();
    case QMetaType::QString: {
      const QString t = value.toString().trimmed();
      if (t.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0 ||
          t.compare(QLatin1String("#TRUE#"), Qt::CaseInsensitive) == 0)
        return -1;
      if (t.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0 ||
          t.compare(QLatin1String("#FALSE#"), Qt::CaseInsensitive) == 0)
        return 0;
      double v = 0;  // empty text counts as 0, like an empty field
      if (!parseFieldNumber(t, &v)) throw FieldReadError::typeMismatch();
      return v;
    }
    default:
      throw FieldReadError::typeMismatch();
  }
}

qint16 VarInteger(const QVariant& value) {
  const double v = roundHalfEven(VarNumber(value));
  if (v < std::numeric_limits<qint16>::min() || v > std::numeric_limits<qint16>::max())
    throw FieldReadError::overflow();
  return static_cast<qint16>(v);
}

qint32 VarLong(const QVariant& value) {
  const double v = roundHalfEven(VarNumber(value));
  if (v < std::numeric_limits<qint32>::min() || v > std::numeric_limits<qint32>::max())
    throw FieldReadError::overflow();
  return static_cast<qint32>(v);
}

QString VarText(const QVariant& value) {
  if (!value.isValid()) return {};
  if (value.typeId() == QMetaType::Bool)
    return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
  if (value.typeId() == QMetaType::Double) return QString::number(value.toDouble(), 'g', 15);
  return value.toString();
}

}  // namespace storyloom
