// The project-file readers that take a field stream: the first byte chooses the reader,
// the rest is the file.
#include <QByteArray>
#include <cstddef>
#include <cstdint>

#include "game/frame_file.h"
#include "game/frame_texts.h"
#include "hotspots/action_record.h"
#include "hotspots/hotspot_file.h"
#include "hotspots/record_fields.h"
#include "shell/field_reader.h"
#include "shell/project_settings.h"
#include "shell/scheme_file.h"
#include "shell/ui_texts.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace storyloom;
  if (size < 1) return 0;
  FieldReader f(QByteArray(reinterpret_cast<const char*>(data) + 1, qsizetype(size - 1)));
  try {
    switch (data[0] % 7) {
      case 0: ProjectSettings().LoadGeneralSettings(f); break;
      case 1: UITexts().LoadUITexts(&f); break;
      case 2: FrameFile().read(f); break;
      case 3: ReadTextRecords(f); break;
      case 4: {
        HotspotFileReader reader(f);
        for (int n = 0; n < 1000 && !reader.atEnd(); ++n) reader.next();
        break;
      }
      case 5: {
        fuzz::NoEffects effects;
        for (int n = 0; n < 1000 && !f.atEnd(); ++n) {
          f.skip(10);
          ReadActionRecord(f, effects);
          SkipToSeparator(f);
        }
        break;
      }
      default: readSchemeFile(f); break;
    }
  } catch (const PlatformError&) {
  }
  return 0;
}
