#pragma once
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

#include "shell/field_reader.h"
#include "state/variables.h"

// The hotspot file of a frame (".mr2" when the frame has merged hotspots, else ".fm2"):
// one record per hotspot, record i being hotspot i.
namespace storyloom {

class EditorAndGame;

struct HotspotRecord {
  qint16 OwnIndex = 0;
  double AreaLeft = 0, AreaTop = 0, AreaWidth = 0, AreaHeight = 0;  // twips
  double AnimatedPicture = 0;
  bool ShowPicture = false;
  QString PictureFile;
  double StretchPicture = 0;
  QString CursorFile;
  double ConditionsEnabled = 0;
  QStringList HideIfAnySet;
  QStringList HideUnlessAllSet;
  bool HasGifSpeed = false;
  double GifSpeed = 0;
  bool HasVideo = false;
  QString VideoFile;
  double VideoFitHotspot = 0;
  double VideoVolume = 0;
  double VideoRate = 0;
  double VideoPlayCount = 0;
};

// The file to read for a frame's hotspots; empty when the frame has none.
QString HotspotFileName(EditorAndGame& module, const QString& frameName);

// Reads the records one by one. A field that cannot be converted keeps its default and
// the record goes on with the next field; the first such error is handed back with the
// record. A record cut by the end of the file ends there.
class HotspotFileReader {
 public:
  explicit HotspotFileReader(FieldReader file) : file_(std::move(file)) {}
  bool atEnd() const { return file_.atEnd(); }
  HotspotRecord next(std::optional<PlatformError>* error);

 private:
  FieldReader file_;
};

// The visibility of every hotspot of a frame, as the hidden markers and the variable
// conditions decide it. The file is walked with only the fields the decision needs.
struct VisibilityResult {
  std::vector<bool> visible;  // element i-1 for hotspot i; only the records decided
  std::optional<PlatformError> error;
};
VisibilityResult DecideHotspotVisibility(FieldReader& file, const QString& frameName,
                                         const VariablesCollection& Disappear,
                                         const ProjectVariables& variables,
                                         const bool& everythingStopped);

}  // namespace storyloom
