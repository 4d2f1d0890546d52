#pragma once
#include <QString>
#include <QVariant>

#include "shell/field_reader.h"

// Helpers shared by the per-frame record files (hotspots, actions, sounds): the separator
// that ends every record and the conversions of values "taken as written".
namespace storyloom {

inline const QString& RecordSeparator() {
  static const QString text = QStringLiteral("----- SEPARATOR -----");
  return text;
}

// True at the end of the file or when the next field is the separator; the position
// does not move.
bool IsSeparatorNext(FieldReader& file);
// Reads fields up to and including the next separator (or to the end of the file).
void SkipToSeparator(FieldReader& file);

// The numeric value of a field read as written: Empty 0, Booleans -1/0, numbers, and text
// that holds a number or True/False. Other text raises "Type mismatch".
double VarNumber(const QVariant& value);
// Whole number as a 16-bit Integer takes it (half to even; "Overflow" when out of range).
qint16 VarInteger(const QVariant& value);
qint32 VarLong(const QVariant& value);
// "Not False" / "non-zero".
inline bool VarTrue(const QVariant& value) { return VarNumber(value) != 0; }
// "= True": only the value True (-1).
inline bool VarIsTrue(const QVariant& value) { return VarNumber(value) == -1; }
// Text of a value: Empty "", numbers as written, Booleans "True"/"False".
QString VarText(const QVariant& value);

}  // namespace storyloom
