#pragma once
#include <QString>
#include <QStringList>
#include <QVariant>
#include <optional>
#include <vector>

#include "platform/platform_error.h"
#include "shell/field_reader.h"
#include "state/variables.h"

// The hotspot file of a frame (".mr2" when the frame has merged hotspots, else ".fm2"):
// one record per hotspot, record i being hotspot i. The one reader of its layout, used
// both to create the hotspots and to decide their visibility.
namespace storyloom {

class EditorAndGame;

// One record. Values "taken as written" stay Variants: each is converted where it is used,
// so junk in a field that a hotspot does not use (the GIF speed of a plain hotspot, the
// video fields of a hotspot without video) raises nothing.
struct HotspotRecord {
  QVariant OwnIndex;                                  // Integer: 1 for the first hotspot of each frame merged in
  QVariant AreaLeft, AreaTop, AreaWidth, AreaHeight;  // twips
  QVariant AnimatedPicture;                           // non-zero: an animated GIF
  QVariant ShowPicture;                               // = True: show PictureFile
  QVariant PictureFile;                               // relative to Areas\ .
  QVariant StretchPicture;                            // 1: stretched to the hotspot
  QVariant CursorFile;                                // relative to Icons\ ; "" or "default": the project's pointer
  QVariant ConditionsEnabled;
  QStringList HideIfAnySet;
  QStringList HideUnlessAllSet;
  bool HasGifSpeed = false;  // written by later editors
  QVariant GifSpeed;
  bool HasVideoFields = false;  // written by later editors
  QVariant HasVideo;            // = True: a looping video
  QVariant VideoFile;           // relative to Frames\ .
  QVariant VideoFitHotspot, VideoVolume, VideoRate, VideoPlayCount;
  // Each read that failed, in file order (a list count that is no number, the end of the
  // file inside the record). The record goes on after each; the end of the file ends it.
  std::vector<PlatformError> readErrors;
};

// The file to read for a frame's hotspots; empty when the frame has none.
QString HotspotFileName(EditorAndGame& module, const QString& frameName);

class HotspotFileReader {
 public:
  explicit HotspotFileReader(FieldReader file) : file_(std::move(file)) {}
  bool atEnd() const { return file_.atEnd(); }
  // What the record is read for: everything, or only what decides its visibility (the
  // other values are passed over unconverted and stay Empty).
  enum class Purpose { Load, Visibility };
  HotspotRecord next(Purpose purpose = Purpose::Load);

 private:
  FieldReader file_;
};

// Whether hotspot `index` of a record is visible: hidden by a marker of its frame (the
// indexes in hiddenHere), or by its conditions on the integer variables. Raises
// PlatformError when the record's conditions cannot be read.
bool HotspotVisible(const HotspotRecord& record, int index, const std::vector<qint16>& hiddenHere,
                    const ProjectVariables& variables);

// The visibility of every hotspot of a frame, as the hidden markers and the variable
// conditions decide it; the walk stops at the first error.
struct VisibilityResult {
  std::vector<bool> visible;  // element i-1 for hotspot i; only the records decided
  std::optional<PlatformError> error;
};
VisibilityResult DecideHotspotVisibility(FieldReader& file, const QString& frameName,
                                         const VariablesCollection& Disappear, const ProjectVariables& variables,
                                         const bool& everythingStopped);

}  // namespace storyloom
