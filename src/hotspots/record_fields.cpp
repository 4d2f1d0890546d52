#include "hotspots/record_fields.h"

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

}  // namespace storyloom
