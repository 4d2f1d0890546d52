#pragma once
#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <optional>

// The description file "Scheme.txt" of a welcome-window scheme: pictures for the three
// buttons and the background, colours for the texts, and the choice of product logo.
namespace storyloom {

class FieldReader;

constexpr int kSchemePictures = 4;  // Start, Load, Exit, background

struct SchemeFile {
  // True when the number of picture fields is 0 or cannot be read: the file ends there,
  // before the pictures, and nothing else of it is used.
  bool endsBeforePictures = true;
  // Picture file names in file order: 0 Start, 1 Load, 2 Exit, 3 background (any further
  // ones are read and unused); "[none]" or "[default]" (any case) for no picture. A name
  // that could not be read is "[default]".
  QStringList pictures;
  // The format level after the pictures; 0 ends the file there.
  double formatLevel = 0;
  // The fields after the level, each present only when it was read: the file may end
  // after any of them, and a value that cannot be read ends the file where it stands.
  std::optional<qint32> backgroundColour;
  std::optional<qint32> titleColour;
  std::optional<qint32> textColour;
  std::optional<qint32> buttonColour;  // only from level 4 on
  std::optional<bool> hideTitle;
  std::optional<qint16> logoNumber;
  std::optional<bool> logoFlag;

  // Whether picture i names a picture file rather than no picture.
  static bool namesPicture(const QString& name);
};

// Reads a scheme file from its start. A failing read among the pictures is skipped; after
// them a failing read ends the scheme, with what was read up to it kept. Never throws.
SchemeFile readSchemeFile(FieldReader& reader);

}  // namespace storyloom
