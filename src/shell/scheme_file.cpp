#include "shell/scheme_file.h"

#include "platform/conversions.h"
#include "platform/skipped_steps.h"
#include "shell/field_reader.h"

namespace storyloom {

bool SchemeFile::namesPicture(const QString& name) {
  const QString lower = name.toLower();
  return lower != QLatin1String("[none]") && lower != QLatin1String("[default]");
}

SchemeFile readSchemeFile(FieldReader& f) {
  SchemeFile scheme;
  // The pictures: a read that fails is skipped.
  runSkippingErrors(QStringLiteral("scheme: the leading fields"), [&] { f.skip(3); });
  double count = 0;
  runSkippingErrors(QStringLiteral("scheme: the number of pictures"), [&] { count = f.readDouble(); });
  if (count == 0) return scheme;
  scheme.endsBeforePictures = false;
  const double n = roundHalfEven(count);
  for (int i = 0; i < n; ++i) {
    // Past the end every read fails alike; only the pictures the window uses are noted.
    if (f.atEnd() && i >= kSchemePictures) break;
    QString name = QStringLiteral("[default]");
    runSkippingErrors(QStringLiteral("scheme: picture %1").arg(i), [&] { name = f.readString(); });
    scheme.pictures.append(name);
  }
  // The rest: a read that fails ends the scheme.
  runSkippingErrors(QStringLiteral("scheme: colours, title and logo"), [&] {
    scheme.formatLevel = f.readDouble();
    if (scheme.formatLevel == 0) return;
    scheme.backgroundColour = f.readLong();
    scheme.titleColour = f.readLong();
    scheme.textColour = f.readLong();
    if (scheme.formatLevel >= 4) scheme.buttonColour = f.readLong();
    if (f.atEnd()) return;
    f.skip(3);
    scheme.hideTitle = f.readDouble() != 0;
    if (f.atEnd()) return;
    f.skip(1);
    scheme.logoNumber = f.readInteger();
    scheme.logoFlag = f.readBoolean();
  });
  return scheme;
}

}  // namespace storyloom
