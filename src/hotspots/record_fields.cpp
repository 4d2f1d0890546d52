#include "hotspots/record_fields.h"

namespace storyloom {

bool IsSeparatorNext(FieldReader& file) {
  if (file.atEnd()) return true;
  return file.nextIs(RecordSeparator());
}

void SkipToSeparator(FieldReader& file) {
  static const QByteArray separator = RecordSeparator().toLatin1();
  while (!file.atEnd()) {
    if (file.readIs(separator)) return;
  }
}

}  // namespace storyloom
