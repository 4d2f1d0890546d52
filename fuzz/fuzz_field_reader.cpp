// The field reader with typed reads: the first byte of each pair chooses the read.
#include <QByteArray>
#include <cstddef>
#include <cstdint>

#include "shell/field_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const size_t plan = size > 16 ? 16 : size;
  storyloom::FieldReader reader(QByteArray(reinterpret_cast<const char*>(data) + plan, qsizetype(size - plan)));
  try {
    for (int round = 0; round < 64 && !reader.atEnd(); ++round) {
      switch (data[size_t(round) % plan] % 9) {
        case 0: reader.readString(); break;
        case 1: reader.readInteger(); break;
        case 2: reader.readLong(); break;
        case 3: reader.readSingle(); break;
        case 4: reader.readDouble(); break;
        case 5: reader.readBoolean(); break;
        case 6: reader.readVariant(); break;
        case 7: reader.skip(data[0] % 12); break;
        default: reader.readRaw(); break;
      }
    }
  } catch (const storyloom::PlatformError&) {
  }
  return 0;
}
