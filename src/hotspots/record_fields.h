#pragma once
#include <QString>

#include "shell/field_reader.h"

// Helpers shared by the per-frame record files (hotspots, actions, sounds): the separator
// that ends every record.
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

}  // namespace storyloom
