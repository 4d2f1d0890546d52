#include "hotspots/hotspot_file.h"

#include "hotspots/record_fields.h"
#include "platform/conversions.h"
#include "shell/editor_and_game.h"

namespace storyloom {

QString HotspotFileName(EditorAndGame& module, const QString& frameName) {
  return module.MergedOrOwnFrameFile(frameName, QStringLiteral(".mr2"), QStringLiteral(".fm2"));
}

namespace {

// Reads the fields of one record: a read that fails is noted and the next one is read;
// the end of the file ends the record.
class RecordFields {
 public:
  RecordFields(FieldReader& file, std::vector<PlatformError>& errors, bool onlyNeeded)
      : file_(file), errors_(errors), onlyNeeded_(onlyNeeded) {}
  bool ended() const { return ended_; }

  QVariant value() {
    if (!available()) return {};
    return file_.readVariant();
  }
  // A value the reading does not need: passed over when only the needed ones are read.
  QVariant other() {
    if (!onlyNeeded_) return value();
    skip(1);
    return {};
  }
  void skip(int n) {
    for (int k = 0; k < n && available(); ++k) file_.readRaw();
  }
  // A count, then that many names.
  QStringList list() {
    const QVariant count = value();
    if (ended_) return {};
    int n = 0;
    try {
      n = integerOf(count);
    } catch (const PlatformError& e) {
      errors_.push_back(e);
      return {};
    }
    QStringList names;
    for (int k = 0; k < n && available(); ++k) names << file_.readString();
    return names;
  }

 private:
  bool available() {
    if (ended_) return false;
    if (!file_.atEnd()) return true;
    errors_.push_back(PlatformError::pastEnd());
    ended_ = true;
    return false;
  }
  FieldReader& file_;
  std::vector<PlatformError>& errors_;
  bool onlyNeeded_;
  bool ended_ = false;
};

}  // namespace

HotspotRecord HotspotFileReader::next(Purpose purpose) {
  HotspotRecord r;
  RecordFields f(file_, r.readErrors, purpose == Purpose::Visibility);
  f.skip(1);
  r.OwnIndex = f.other();
  f.skip(8);
  r.AreaLeft = f.other();
  r.AreaTop = f.other();
  r.AreaWidth = f.other();
  r.AreaHeight = f.other();
  r.AnimatedPicture = f.other();
  r.ShowPicture = f.other();
  r.PictureFile = f.other();
  r.StretchPicture = f.other();
  r.CursorFile = f.other();
  r.ConditionsEnabled = f.value();
  r.HideIfAnySet = f.list();
  r.HideUnlessAllSet = f.list();
  if (purpose == Purpose::Load && !f.ended() && !IsSeparatorNext(file_)) {
    r.HasGifSpeed = true;
    r.GifSpeed = f.other();
    if (!f.ended() && !IsSeparatorNext(file_)) {
      r.HasVideoFields = true;
      r.HasVideo = f.other();
      r.VideoFile = f.other();
      r.VideoFitHotspot = f.other();
      r.VideoVolume = f.other();
      f.skip(2);
      r.VideoRate = f.other();
      r.VideoPlayCount = f.other();
      f.skip(2);
    }
  }
  // Normally the separator comes next; fields a newer editor may have appended are passed
  // over so that the next record still starts in its place.
  if (!f.ended()) SkipToSeparator(file_);
  return r;
}

bool HotspotVisible(const HotspotRecord& r, int index, const std::vector<qint16>& hiddenHere,
                    const ProjectVariables& variables) {
  for (qint16 hidden : hiddenHere)
    if (hidden == index) return false;
  if (numberOf(r.ConditionsEnabled) == 0) return true;
  for (const QString& name : r.HideIfAnySet) {
    const qint16 v = variables.GetVariableValue(name);
    if (v != 0 && v != ProjectVariables::kMissing) return false;
  }
  for (const QString& name : r.HideUnlessAllSet) {
    const qint16 v = variables.GetVariableValue(name);
    if (v != 1 && v != ProjectVariables::kMissing) return false;
  }
  return true;
}

VisibilityResult DecideHotspotVisibility(FieldReader& file, const QString& frameName,
                                         const VariablesCollection& Disappear, const ProjectVariables& variables,
                                         const bool& everythingStopped) {
  VisibilityResult result;
  // Markers of this frame, looked up once rather than per record.
  std::vector<qint16> hiddenHere;
  for (const auto& marker : Disappear)
    if (marker->Name == frameName) hiddenHere.push_back(marker->Value);
  HotspotFileReader reader(std::move(file));
  try {
    int i = 0;
    while (!reader.atEnd() && !everythingStopped) {
      ++i;
      const HotspotRecord record = reader.next(HotspotFileReader::Purpose::Visibility);
      if (!record.readErrors.empty()) throw record.readErrors.front();
      result.visible.push_back(HotspotVisible(record, i, hiddenHere, variables));
    }
  } catch (const PlatformError& e) {
    result.error = e;
  }
  return result;
}

}  // namespace storyloom
